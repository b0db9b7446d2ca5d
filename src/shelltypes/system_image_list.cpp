#include "system_image_list.h"

#include <shellapi.h>

#include <array>
#include <cstdlib>

#include "dpi_scale.h"

namespace {

constexpr int kSmallIconSize = 16; // at 96 dots per inch
// The image list's interface, which not every import library carries.
const IID kImageListIid = {
    0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

struct SizedList {
    HIMAGELIST hList = nullptr;
    int nSize = 0;
};

// The shell's lists, asked once: they live as long as the process.
const std::array<SizedList, 3>& ShellLists() {
    static const std::array<SizedList, 3> lists = [] {
        std::array<SizedList, 3> found{};
        const int kinds[] = {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE};
        for (size_t i = 0; i < found.size(); ++i) {
            void* pList = nullptr;
            if (FAILED(SHGetImageList(kinds[i], kImageListIid, &pList)) || !pList)
                continue;
            found[i].hList = static_cast<HIMAGELIST>(pList);
            int cx = 0, cy = 0;
            if (ImageList_GetIconSize(found[i].hList, &cx, &cy))
                found[i].nSize = cx;
        }
        return found;
    }();
    return lists;
}

} // namespace

HIMAGELIST SystemImageListAt(int nDpi) {
    const int nWanted = DpiScale(nDpi)(kSmallIconSize);
    const SizedList* pBest = nullptr;
    for (const SizedList& list : ShellLists()) {
        if (!list.hList || list.nSize <= 0)
            continue;
        // The nearest; of two as near, the larger (drawn smaller by nothing, so sharper).
        const int nOff = std::abs(list.nSize - nWanted);
        const int nBestOff = pBest ? std::abs(pBest->nSize - nWanted) : 0;
        if (!pBest || nOff < nBestOff || (nOff == nBestOff && list.nSize > pBest->nSize))
            pBest = &list;
    }
    if (pBest)
        return pBest->hList;
    // A shell without the sized lists still has its small icons.
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}
