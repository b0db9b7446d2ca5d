// The program's File "Output To Text File" and Help "About" in-process under Wine: the
// real command with its save dialog answered by a helper thread, the report's bytes,
// the About box, and the web link with the real registry and real processes.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <shlobj.h>

#include "about_dialog.h"
#include "dirscope_app.h"
#include "dirscope_view.h"
#include "dscp_app_fixture.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "output_to_text_file.h"
#include "resource.h"
#include "shell_tree_ctrl.h"
#include "temp_tree.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string WindowText(HWND hWnd) {
    char text[1024] = {};
    GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

// The file-name field of the common save dialog.
HWND FileNameField(HWND hDlg) {
    for (int id : {1148, 1152}) // cmb13, edt1
        if (HWND h = GetDlgItem(hDlg, id))
            return h;
    return nullptr;
}

// What the save dialog showed, and the name typed into it.
struct SaveAnswer {
    std::string initialName;
    std::vector<std::string> filters;
};

std::function<void(HWND)> TypeNameAndSave(const std::string& name, SaveAnswer* pSeen) {
    return [name, pSeen](HWND hDlg) {
        HWND hName = FileNameField(hDlg);
        if (pSeen) {
            pSeen->initialName = WindowText(hName);
            HWND hTypes = GetDlgItem(hDlg, 1136); // cmb1
            const int n = static_cast<int>(SendMessageA(hTypes, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < n; ++i) {
                char text[256] = {};
                SendMessageA(hTypes, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                pSeen->filters.push_back(text);
            }
        }
        SendMessageA(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDOK)));
    };
}

class DscpCommands : public DscpAppFixture {
protected:
    // The report as printf would make it from the list's cells, in the list's order.
    std::string ExpectedReport(const std::string& path, bool bDrive) const {
        std::string out = "Path: " + path + "\r\n\r\n";
        char line[2048];
        if (bDrive) {
            std::snprintf(line, sizeof(line), "%-10s %10s %10s\r\n", "Name", "Size", "Free Space");
            out += line;
            out += std::string(30, '=') + "\r\n";
        } else {
            std::snprintf(line, sizeof(line), "%-28s %10s %-25s %-20s %10s %10s\r\n", "Name",
                          "Size", "Type", "Date", "Folder", "Files");
            out += line;
            out += std::string(108, '=') + "\r\n";
        }
        for (int i = 0; i < List().GetItemCount(); ++i) {
            auto cell = [&](int c) { return List().GetItemText(i, c); };
            if (bDrive)
                std::snprintf(line, sizeof(line), "%-10s %10s %10s\r\n", cell(0).c_str(),
                              cell(1).c_str(), cell(2).c_str());
            else
                std::snprintf(line, sizeof(line), "%-28s %10s %-25s %-20s %10s %10s\r\n",
                              cell(0).c_str(), cell(1).c_str(), cell(2).c_str(), cell(3).c_str(),
                              cell(4).c_str(), cell(5).c_str());
            out += line;
        }
        return out;
    }
};

} // namespace

TEST(ReportFileDialog, TheProgramAsksWithItsOwnSettings) {
    std::tm t{};
    t.tm_year = 2006 - 1900;
    t.tm_mon = 4;
    t.tm_mday = 9;
    EXPECT_EQ(ReportFileName(t), "20060509.txt");
    CReportFileDialog dlg("20060509.txt");
    EXPECT_FALSE(dlg.m_bOpenFileDialog);
    EXPECT_EQ(dlg.m_ofn.Flags & ~static_cast<DWORD>(OFN_EXPLORER),
              static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_STREQ(dlg.m_ofn.lpstrDefExt, "txt File");
    EXPECT_STREQ(dlg.m_ofn.lpstrFile, "20060509.txt");
    const std::string filter(dlg.m_ofn.lpstrFilter, 46);
    EXPECT_EQ(filter, std::string("Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0", 46));
}

TEST_F(DscpCommands, AFolderReportThroughTheDialogHasTheListsCellsInItsOrder) {
    TempTree tree;
    tree.Folder("sub");
    tree.File("sub/inner.bin", 3000);
    tree.File("a-name-that-is-longer-than-28-chars.txt", 2048);
    tree.File("b.txt", 5);
    TempTree out;
    Show(tree.Root());
    ASSERT_EQ(List().GetItemCount(), 3);
    // The report takes the cells as they stand, whatever filled them.
    List().SetItemText(0, 1, "");

    SaveAnswer seen;
    DialogAnswerer answer(TypeNameAndSave(out.Path("report"), &seen));
    Command(ID_OUTPUT_TO_TEXT_FILE);
    ASSERT_TRUE(answer.Join());

    // Today's date as the name, both filters; "report" was saved as report.txt.
    const std::time_t now = std::time(nullptr);
    EXPECT_EQ(seen.initialName, ReportFileName(*std::localtime(&now)));
    ASSERT_EQ(seen.filters.size(), 2u);
    EXPECT_EQ(seen.filters[0], "Text Files (*.txt)");
    EXPECT_EQ(seen.filters[1], "All Files (*.*)");
    const std::string bytes = ReadBytes(out.Path("report.txt"));
    EXPECT_EQ(bytes, ExpectedReport(tree.Root(), false));
    // A long name pushes its line's later columns right.
    EXPECT_NE(bytes.find("a-name-that-is-longer-than-28-chars.txt "), std::string::npos);
}

TEST_F(DscpCommands, TheDriveOverviewReportKeepsTheLastFolderOrAnEmptyPath) {
    TempTree out;
    {
        DialogAnswerer answer(TypeNameAndSave(out.Path("drives1.txt"), nullptr));
        Command(ID_OUTPUT_TO_TEXT_FILE); // no folder shown since start-up
        ASSERT_TRUE(answer.Join());
    }
    const std::string first = ReadBytes(out.Path("drives1.txt"));
    EXPECT_EQ(first.substr(0, 10), "Path: \r\n\r\n");
    EXPECT_EQ(first, ExpectedReport("", true));

    TempTree tree;
    Show(tree.Root());
    Show("");
    {
        DialogAnswerer answer(TypeNameAndSave(out.Path("drives2.txt"), nullptr));
        Command(ID_OUTPUT_TO_TEXT_FILE);
        ASSERT_TRUE(answer.Join());
    }
    EXPECT_EQ(ReadBytes(out.Path("drives2.txt")), ExpectedReport(tree.Root(), true));
}

TEST_F(DscpCommands, CancelWritesNothing) {
    TempTree out;
    DialogAnswerer answer(IDCANCEL);
    Command(ID_OUTPUT_TO_TEXT_FILE);
    ASSERT_TRUE(answer.Join());
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(out.Path("*.txt").c_str(), &fd);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
}

TEST_F(DscpCommands, AFileThatCannotBeOpenedOrWrittenIsReportedByTheView) {
    TempTree out;
    {
        DialogAnswerer answer(IDOK);
        EXPECT_FALSE(WriteListReport(List(), "", true, out.Path("missing\\r.txt"), m_pView));
        ASSERT_TRUE(answer.Join());
        EXPECT_EQ(answer.Caption(), "Dirscope");
        EXPECT_EQ(answer.Text(), "Can't open text file!");
    }
    // A pipe whose reader has gone: the file opens, but nothing can be written.
    const char* kPipe = "\\\\.\\pipe\\dscp-report-test";
    HANDLE hPipe = CreateNamedPipeA(kPipe, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0,
                                    0, nullptr);
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE);
    std::thread reader([hPipe] {
        ConnectNamedPipe(hPipe, nullptr);
        CloseHandle(hPipe);
    });
    DialogAnswerer answer(IDOK);
    EXPECT_FALSE(WriteListReport(List(), "", true, kPipe, m_pView));
    reader.join();
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(answer.Caption(), "Dirscope");
    EXPECT_EQ(answer.Text(), "Can't write text file!");
}

namespace {

struct AboutSeen {
    std::string caption;
    RECT window{};
    std::string texts;
    RECT link{};
    SIZE textSize{};
    std::string linkText;
    std::string tip;
    bool bNotify = false;
};

BOOL CALLBACK FindTip(HWND hWnd, LPARAM lParam) {
    auto* pFound = reinterpret_cast<std::pair<HWND, HWND>*>(lParam); // owner, tooltip
    char cls[64] = {};
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (std::string(cls) == TOOLTIPS_CLASSA && GetWindow(hWnd, GW_OWNER) == pFound->first) {
        pFound->second = hWnd;
        return FALSE;
    }
    return TRUE;
}

// The registry and a recording program for the link: a protocol "dscptest" that the
// shell opens, and web pages (".htm") opened by a registered command line. Both run
// this test program, which writes its command line to the file in DSCP_LINK_RECORD.
class LinkRegistry {
public:
    LinkRegistry() {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, sizeof(exe));
        m_strExe = exe;
        m_strRecord = m_tree.Path("record.txt");
        SetEnvironmentVariableA("DSCP_LINK_RECORD", m_strRecord.c_str());
        // The prefix's own web-page type comes back at the end.
        char old[MAX_PATH] = {};
        LONG size = sizeof(old);
        m_bHadHtm = RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", old, &size) == ERROR_SUCCESS;
        m_strOldHtm = old;
        SetValue("dscptest", "", "URL:dscptest");
        SetValue("dscptest", "URL Protocol", "");
        SetValue("dscptest\\shell\\open\\command", "",
                 "\"" + m_strExe + "\" --record shell \"%1\"");
        SetValue(".htm", "", "DscpTestPage");
        SetValue("DscpTestPage\\shell\\open\\command", "",
                 "\"" + m_strExe + "\" --record browser \"%1\"");
    }
    ~LinkRegistry() {
        SetEnvironmentVariableA("DSCP_LINK_RECORD", nullptr);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "dscptest");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "DscpTestPage");
        if (m_bHadHtm)
            SetValue(".htm", "", m_strOldHtm);
    }
    static void SetValue(const std::string& key, const char* name, const std::string& value) {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), *name ? name : nullptr, REG_SZ,
                        value.c_str(), static_cast<DWORD>(value.size() + 1));
    }
    // The recorded command line, waiting up to `ms` for it.
    std::string Recorded(DWORD ms = 60000) const {
        const DWORD start = GetTickCount();
        do {
            const std::string text = ReadBytes(m_strRecord);
            if (!text.empty() && text.back() == '\n')
                return text.substr(0, text.size() - 1);
            Sleep(50);
        } while (GetTickCount() - start < ms);
        return {};
    }
    std::string m_strExe;

private:
    TempTree m_tree;
    std::string m_strRecord;
    bool m_bHadHtm = false;
    std::string m_strOldHtm;
};

} // namespace

TEST_F(DscpCommands, HelpAboutShowsTheBoxWithItsTextsAndTheLinkFittedToItsText) {
    AboutSeen seen;
    DialogAnswerer answer([&seen](HWND hDlg) {
        seen.caption = WindowText(hDlg);
        GetWindowRect(hDlg, &seen.window);
        HWND hLink = GetDlgItem(hDlg, IDC_HOMEPAGE);
        seen.linkText = WindowText(hLink);
        seen.bNotify = (GetWindowLongA(hLink, GWL_STYLE) & SS_NOTIFY) != 0;
        GetWindowRect(hLink, &seen.link);
        MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&seen.link), 2);
        HDC hDC = GetDC(hLink);
        GetTextExtentPoint32A(hDC, seen.linkText.c_str(), static_cast<int>(seen.linkText.size()),
                              &seen.textSize);
        ReleaseDC(hLink, hDC);
        std::pair<HWND, HWND> find{hDlg, nullptr};
        EnumThreadWindows(GetWindowThreadProcessId(hDlg, nullptr), &FindTip,
                          reinterpret_cast<LPARAM>(&find));
        if (find.second) {
            char text[256] = {};
            TOOLINFOA ti{};
            ti.cbSize = TTTOOLINFOA_V2_SIZE;
            ti.hwnd = hLink;
            ti.uId = 1;
            ti.lpszText = text;
            SendMessageA(find.second, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
            seen.tip = text;
        }
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDOK)));
    });
    Command(ID_APP_ABOUT);
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(seen.caption, "About Dirscope");
    // (The icon control's text is its resource reference, not shown.)
    EXPECT_NE(
        answer.Text().find(std::string("Dirscope Version 3.0\nHome Page:\n") + DSCP_HOME_PAGE),
        std::string::npos);
    EXPECT_EQ(seen.linkText, DSCP_HOME_PAGE);
    EXPECT_TRUE(seen.bNotify);
    EXPECT_EQ(seen.tip, DSCP_HOME_PAGE);
    // Left-aligned: the left edge stays where the template puts it; the size is the text's.
    EXPECT_EQ(seen.link.right - seen.link.left, seen.textSize.cx);
    EXPECT_EQ(seen.link.bottom - seen.link.top, seen.textSize.cy);
    EXPECT_TRUE(IsWindowEnabled(m_pFrame->m_hWnd)); // the owner works again
    // The box opens centred over the main window.
    RECT frame;
    GetWindowRect(m_pFrame->m_hWnd, &frame);
    EXPECT_NEAR((seen.window.left + seen.window.right) / 2, (frame.left + frame.right) / 2, 1);
    EXPECT_NEAR((seen.window.top + seen.window.bottom) / 2, (frame.top + frame.bottom) / 2, 1);
}

TEST_F(DscpCommands, TheAboutBoxClosesWithEscapeAndTellsWhichButton) {
    DialogAnswerer answer([](HWND hDlg) { PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0); });
    CAboutDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(dlg.Link().Target(), DSCP_HOME_PAGE);
    EXPECT_EQ(dlg.Link().m_hWnd, nullptr); // unbound with its window
}

namespace {

// A plain parent window for links made without a dialog.
class CLinkParent : public CWnd {
public:
    bool Create() {
        return CreateEx(0, nullptr, "links", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 300,
                        nullptr, nullptr);
    }
};

std::unique_ptr<CWebLinkStatic> MakeLink(CLinkParent& parent, DWORD style, const char* text,
                                         UINT nID, const char* tip = "") {
    auto link = std::make_unique<CWebLinkStatic>();
    link->SetTipText(tip);
    link->Create(text, WS_CHILD | WS_VISIBLE | style, CRect(100, 20, 400, 60), &parent, nID);
    return link;
}

CRect ChildRect(const CWnd& parent, const CWnd& child) {
    CRect rc = child.GetWindowRect();
    MapWindowPoints(nullptr, parent.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

SIZE TextSize(const CWnd& wnd) {
    SIZE size{};
    const std::string text = wnd.GetWindowText();
    HDC hDC = GetDC(wnd.m_hWnd);
    GetTextExtentPoint32A(hDC, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(wnd.m_hWnd, hDC);
    return size;
}

} // namespace

TEST(WebLinkStatic, ShrinksToItsTextByAlignment) {
    CLinkParent parent;
    ASSERT_TRUE(parent.Create());
    auto left = MakeLink(parent, SS_LEFT, "left link", 1);
    auto right = MakeLink(parent, SS_RIGHT, "right link", 2);
    auto centre = MakeLink(parent, SS_CENTER | SS_CENTERIMAGE, "centred link", 3);
    const SIZE t1 = TextSize(*left), t2 = TextSize(*right), t3 = TextSize(*centre);
    EXPECT_EQ(ChildRect(parent, *left), CRect(100, 20, 100 + t1.cx, 20 + t1.cy));
    EXPECT_EQ(ChildRect(parent, *right), CRect(400 - t2.cx, 20, 400, 20 + t2.cy));
    const int dx = (300 - t3.cx) / 2, dy = (40 - t3.cy) / 2;
    EXPECT_EQ(ChildRect(parent, *centre), CRect(100 + dx, 20 + dy, 400 - dx, 60 - dy));
    parent.DestroyWindow();
}

TEST(WebLinkStatic, AnEmptyTextTakesTheTipAndTheTooltipCoversTheControl) {
    CLinkParent parent;
    ASSERT_TRUE(parent.Create());
    auto link = MakeLink(parent, SS_LEFT, "", 1, "the tip");
    EXPECT_EQ(link->GetWindowText(), "the tip");
    EXPECT_EQ(link->ToolTip().GetToolCount(), 1);
    EXPECT_EQ(link->ToolTip().GetText(link.get(), 1), "the tip");
    // The link cursor is the program's cursor 143, set over the link.
    ASSERT_NE(link->LinkCursor(), nullptr);
    EXPECT_EQ(link->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link->m_hWnd),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), link->LinkCursor());
    parent.DestroyWindow();
}

TEST(WebLinkStatic, TheParentsColourMessageDrawsItBlueUnderlinedAndTransparent) {
    CLinkParent parent;
    ASSERT_TRUE(parent.Create());
    auto link = MakeLink(parent, SS_LEFT, "colours", 1);
    HDC hDC = GetDC(link->m_hWnd);
    const LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                             reinterpret_cast<LPARAM>(link->m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(hDC), RGB(0, 0, 238));
    EXPECT_EQ(GetBkMode(hDC), TRANSPARENT);
    LOGFONTA lf{};
    GetObjectA(GetCurrentObject(hDC, OBJ_FONT), sizeof(lf), &lf);
    EXPECT_TRUE(lf.lfUnderline);
    ReleaseDC(link->m_hWnd, hDC);
    parent.DestroyWindow();
}

TEST(WebLinkStatic, AClickOpensTheTargetThroughTheShellAndNoBrowserLine) {
    LinkRegistry reg;
    CLinkParent parent;
    ASSERT_TRUE(parent.Create());
    auto link = MakeLink(parent, SS_LEFT, "click me", 7);
    link->SetTarget("dscptest:clicked");
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, STN_CLICKED),
                       reinterpret_cast<LPARAM>(link->m_hWnd));
    const std::string line = reg.Recorded();
    EXPECT_NE(line.find("--record shell"), std::string::npos) << line;
    EXPECT_NE(line.find("dscptest:clicked"), std::string::npos) << line;
    parent.DestroyWindow();
}

TEST(WebLinkStatic, WithoutTheShellTheRegisteredBrowserLineRunsTheAddress) {
    LinkRegistry reg;
    // No handler for this scheme: the registered web-page command runs.
    EXPECT_GT(CWebLinkStatic::OpenLink("dscpnone:page", SW_HIDE), 32);
    // The quoted placeholder and its quotation marks gave way to a blank and the address.
    EXPECT_EQ(reg.Recorded(), "\"" + reg.m_strExe + "\" --record browser  dscpnone:page");
}

TEST(WebLinkStatic, RefusesWhatCouldAddArgumentsOrOverrunItsBuffers) {
    LinkRegistry reg;
    EXPECT_EQ(CWebLinkStatic::OpenLink("dscpnone:a b", SW_HIDE), 32);
    EXPECT_EQ(CWebLinkStatic::OpenLink("dscpnone:a\"b", SW_HIDE), 32);
    // A document type name too long for its key path.
    LinkRegistry::SetValue(".htm", "", std::string(250, 'x'));
    EXPECT_EQ(CWebLinkStatic::OpenLink("dscpnone:page", SW_HIDE), 32);
    // A value that is not a string.
    const DWORD number = 7;
    RegSetKeyValueA(HKEY_CLASSES_ROOT, ".htm", nullptr, REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(CWebLinkStatic::OpenLink("dscpnone:page", SW_HIDE), 32);
    // A command line that leaves no room for the address is not run.
    LinkRegistry::SetValue(".htm", "", "DscpTestPage");
    LinkRegistry::SetValue("DscpTestPage\\shell\\open\\command", "",
                           "\"" + reg.m_strExe + "\" --record browser " +
                               std::string(250 - reg.m_strExe.size(), 'y') + " %1");
    EXPECT_EQ(CWebLinkStatic::OpenLink(("dscpnone:" + std::string(300, 'z')).c_str(), SW_HIDE), 32);
    // Nor a registered command longer than the 259 bytes it is read into.
    LinkRegistry::SetValue("DscpTestPage\\shell\\open\\command", "",
                           "\"" + reg.m_strExe + "\" --record browser " +
                               std::string(280 - reg.m_strExe.size(), 'y') + " %1");
    EXPECT_EQ(CWebLinkStatic::OpenLink("dscpnone:page", SW_HIDE), 32);
    EXPECT_EQ(reg.Recorded(1500), "");
}

namespace {

// Icons as pixels: what the user sees, whichever list and index holds them.

// Image `nIndex` of `hList` drawn on white, as hexadecimal text.
std::string ImagePixels(HIMAGELIST hList, int nIndex) {
    int cx = 0;
    int cy = 0;
    if (!ImageList_GetIconSize(hList, &cx, &cy) || nIndex < 0)
        return "none";
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HDC hDC = CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hDC, hBitmap);
    PatBlt(hDC, 0, 0, cx, cy, WHITENESS);
    ImageList_Draw(hList, nIndex, hDC, 0, 0, ILD_NORMAL);
    GdiFlush();
    std::ostringstream text;
    const auto* pPixels = static_cast<const unsigned char*>(pBits);
    for (int i = 0; i < cx * cy * 4; ++i)
        text << "0123456789abcdef"[pPixels[i] >> 4] << "0123456789abcdef"[pPixels[i] & 15];
    SelectObject(hDC, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hDC);
    return text.str();
}

// The shell's small icon of an item, a path or "csidl:N" for a special folder, asked by
// its item id list as the tree and the save dialog ask.
std::string ShellIconPixels(const std::string& item) {
    LPITEMIDLIST pidl = nullptr;
    if (item.rfind("csidl:", 0) == 0) {
        if (FAILED(SHGetSpecialFolderLocation(nullptr, std::atoi(item.c_str() + 6), &pidl)))
            return "none";
    } else {
        std::wstring wide(item.begin(), item.end());
        if (FAILED(SHParseDisplayName(wide.c_str(), nullptr, &pidl, 0, nullptr)))
            return "none";
    }
    SHFILEINFOA sfi{};
    const DWORD_PTR hList =
        SHGetFileInfoA(reinterpret_cast<const char*>(pidl), 0, &sfi, sizeof(sfi),
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    CoTaskMemFree(pidl);
    return hList ? ImagePixels(reinterpret_cast<HIMAGELIST>(hList), sfi.iIcon) : "none";
}

// The same items' icons asked in a new process of this test program, which never shows
// the program's windows.
std::vector<std::string> FreshProcessIconPixels(const std::vector<std::string>& items,
                                                const std::string& outPath) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof(exe));
    std::string commandLine = "\"" + std::string(exe) + "\" --icon-pixels \"" + outPath + "\"";
    for (const std::string& item : items) // a backslash before a quote is doubled
        commandLine += " \"" + item + (item.back() == '\\' ? "\\\"" : "\"");
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return {};
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::vector<std::string> pixels;
    std::ifstream in(outPath);
    for (std::string line; std::getline(in, line);)
        pixels.push_back(line);
    return pixels;
}

} // namespace

TEST_F(DscpCommands, AfterTheDriveOverviewEveryIconIsTheOneTheShellGives) {
    // Start-up showed the drive overview; everything below is asked of the shell after it.
    ASSERT_TRUE(m_pDoc->IsDriveOverview());
    TempTree tree;
    tree.File("new.dscpicontype", 1);
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof(exe));
    // A file type whose icon the shell has not shown before in either process.
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".dscpicontype", REG_SZ, "DscpIconType", 0),
              ERROR_SUCCESS);
    const std::string defaultIcon = std::string(exe) + ",0";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "DscpIconType\\DefaultIcon", REG_SZ,
                           defaultIcon.c_str(), 0),
              ERROR_SUCCESS);

    std::vector<std::string> items;
    std::vector<std::string> seen;

    // Folders in the tree pane: the computer, selected at start, and drive C.
    auto* pTree = dynamic_cast<CShellTreeCtrl*>(m_pFrame->FolderTree());
    ASSERT_NE(pTree, nullptr);
    const HTREEITEM hComputer = pTree->GetSelectedItem();
    HTREEITEM hDrive = pTree->GetChildItem(hComputer);
    while (hDrive && pTree->GetItemText(hDrive).find("C:") == std::string::npos)
        hDrive = pTree->GetNextSiblingItem(hDrive);
    ASSERT_NE(hDrive, nullptr);
    for (HTREEITEM hNode : {hComputer, hDrive}) {
        TVITEMA tvi{};
        tvi.mask = TVIF_IMAGE;
        tvi.hItem = hNode;
        ASSERT_TRUE(pTree->SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi)));
        seen.push_back(ImagePixels(pTree->GetImageList(TVSIL_NORMAL), tvi.iImage));
    }
    items.push_back("csidl:" + std::to_string(CSIDL_DRIVES));
    items.push_back("C:\\");

    // A file of the new type in the list.
    Show(tree.Root());
    ASSERT_EQ(List().GetItemCount(), 1);
    items.push_back(tree.Path("new.dscpicontype"));
    seen.push_back(ImagePixels(List().GetImageList(LVSIL_SMALL), List().GetItemImage(0)));

    // Desktop, Documents and My Computer, as the save dialog's folder box asks for them.
    for (int nFolder : {CSIDL_DESKTOP, CSIDL_PERSONAL, CSIDL_DRIVES}) {
        items.push_back("csidl:" + std::to_string(nFolder));
        seen.push_back(ShellIconPixels(items.back()));
    }

    const std::vector<std::string> fresh = FreshProcessIconPixels(items, tree.Path("icons.txt"));
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".dscpicontype");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "DscpIconType");
    ASSERT_EQ(fresh.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_NE(fresh[i], "none") << items[i];
        EXPECT_TRUE(seen[i] == fresh[i]) << items[i]; // not printed: a kilobyte of digits
    }
}

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--icon-pixels") {
        // Started by the icon test: the shell's icons of the items named, one a line.
        CoInitialize(nullptr);
        std::ofstream out(argv[2]);
        for (int i = 3; i < argc; ++i)
            out << ShellIconPixels(argv[i]) << "\n";
        return 0;
    }
    if (argc >= 2 && std::string(argv[1]) == "--record") {
        // Started by a link test: note how, and end.
        char path[MAX_PATH] = {};
        if (GetEnvironmentVariableA("DSCP_LINK_RECORD", path, sizeof(path))) {
            std::ofstream out(path, std::ios::binary);
            out << GetCommandLineA() << "\n";
        }
        return 0;
    }
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
