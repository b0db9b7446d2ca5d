// The docking layout read from the profile. The program never writes it; a layout that
// is missing, or wrong in any value, is ignored as a whole.
//
// Section "<name>-Summary": "Bars", the number of bar sections (1 to 64).
// Section "<name>-Bar<i>" (i from 0): "BarID" (a control bar of this frame that can
// dock), "DockBarID" (AFX_IDW_DOCKBAR_TOP, _LEFT, _RIGHT, _BOTTOM, or _FLOAT for a
// floating bar), "Visible" (0 or 1), and for a floating bar "XPos" and "YPos" (screen).
#include <string>
#include <vector>

#include "control_bar.h"
#include "dock_bar.h"
#include "frame_wnd.h"
#include "profile.h"
#include "win_app.h"

namespace {

constexpr int kMissing = -0x7FFFFFFF; // a value no entry holds
constexpr int kMaxBars = 64;
constexpr int kMaxBarId = 0xFFFF; // window ids are 16 bits

struct BarEntry {
    CControlBar* pBar;
    UINT nDockBarID;
    bool bVisible;
    POINT ptFloat;
};

} // namespace

bool CFrameWnd::LoadBarState(const char* lpszProfileName) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return false;
    const std::string name = lpszProfileName;
    auto read = [&](const std::string& section, const char* entry) {
        return static_cast<int>(pApp->GetProfileInt(section.c_str(), entry, kMissing));
    };
    const int nBars = read(name + "-Summary", "Bars");
    if (nBars < 1 || nBars > kMaxBars)
        return false;
    std::vector<BarEntry> entries;
    for (int i = 0; i < nBars; ++i) {
        const std::string section = name + "-Bar" + std::to_string(i);
        const int nBarID = read(section, "BarID");
        const int nDockBarID = read(section, "DockBarID");
        const int nVisible = read(section, "Visible");
        if (nBarID <= 0 || nBarID > kMaxBarId || (nVisible != 0 && nVisible != 1))
            return false;
        CControlBar* pBar = GetControlBar(static_cast<UINT>(nBarID));
        if (!pBar || !pBar->GetDockContext())
            return false;
        BarEntry entry{pBar, static_cast<UINT>(nDockBarID), nVisible == 1, POINT{0, 0}};
        if (entry.nDockBarID == AFX_IDW_DOCKBAR_FLOAT) {
            entry.ptFloat.x = read(section, "XPos");
            entry.ptFloat.y = read(section, "YPos");
            if (entry.ptFloat.x == kMissing || entry.ptFloat.y == kMissing)
                return false;
        } else {
            const DWORD dwAlign = DockBarAlignOfId(entry.nDockBarID);
            if (!dwAlign || !(pBar->GetDockStyle() & dwAlign) || !GetDockBar(entry.nDockBarID))
                return false;
        }
        for (const BarEntry& other : entries)
            if (other.pBar == pBar)
                return false;
        entries.push_back(entry);
    }
    for (const BarEntry& entry : entries) {
        if (entry.nDockBarID == AFX_IDW_DOCKBAR_FLOAT)
            FloatControlBar(entry.pBar, entry.ptFloat);
        else
            DockControlBar(entry.pBar, entry.nDockBarID);
        ShowControlBar(entry.pBar, entry.bVisible, false);
    }
    return true;
}
