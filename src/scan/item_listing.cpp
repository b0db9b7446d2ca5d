#include "item_listing.h"

#include <algorithm>

#include "dir_enum.h"
#include "path_text.h"

namespace {

// Name order under CompareNoCase, equal names in enumeration order.
void SortByName(std::vector<ListedItem>& items) {
    std::stable_sort(items.begin(), items.end(), [](const ListedItem& a, const ListedItem& b) {
        return CompareNoCase(a.name.c_str(), b.name.c_str()) < 0;
    });
}

} // namespace

ItemListing ListFolderItems(const std::string& folderPath, FileLinks links) {
    ItemListing listing;
    DirEnumerator dir(folderPath, EntryDetails::All, links);
    if (!dir.IsOpen()) {
        listing.nError = dir.OpenError();
        return listing;
    }
    listing.bIdentity = dir.GetIdentity(listing.identity);
    DirItem item;
    while (dir.Next(item)) {
        if (IsDotEntry(item.name))
            continue;
        (item.bFolder ? listing.folders : listing.files)
            .push_back({item.name, item.bFolder ? 0 : static_cast<int64_t>(item.nSize),
                        item.tModified, item.nError, item.nLinks, item.nDevice, item.nFileId,
                        item.nDiskBytes});
    }
    SortByName(listing.folders);
    SortByName(listing.files);
    return listing;
}
