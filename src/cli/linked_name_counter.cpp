#include "linked_name_counter.h"

#include <string>

#include "path_text.h"

namespace {

using Index = FolderSnapshot::Index;

// One component of each path, compared as the paths' text would be: a separator follows a
// component when more follow it, nothing follows the last.
int CompareComponents(const char* a, bool bMoreA, const char* b, bool bMoreB) {
    const int afterA = bMoreA ? static_cast<unsigned char>(kPathSeparator) : -1;
    const int afterB = bMoreB ? static_cast<unsigned char>(kPathSeparator) : -1;
    for (size_t i = 0;; ++i) {
        const int ca = a[i] ? static_cast<unsigned char>(a[i]) : afterA;
        const int cb = b[i] ? static_cast<unsigned char>(b[i]) : afterB;
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (!a[i])
            return 0;
    }
}

const char* FileText(const FolderSnapshot& s, Index folder, uint32_t file, std::string& buffer) {
    if (s.FilesHeld(folder))
        return s.FileName(folder, file);
    buffer = "\x01" + std::to_string(file);
    return buffer.c_str();
}

uint32_t Depth(const FolderSnapshot& s, Index folder) {
    uint32_t depth = 0;
    for (; folder != FolderSnapshot::kNone; folder = s.Parent(folder))
        ++depth;
    return depth;
}

uint64_t Mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    return x ^ (x >> 33);
}

} // namespace

bool ComesFirstByPath(const FolderSnapshot& s, Index folderA, uint32_t fileA, Index folderB,
                      uint32_t fileB) {
    std::string bufferA, bufferB;
    const char* a = FileText(s, folderA, fileA, bufferA);
    const char* b = FileText(s, folderB, fileB, bufferB);
    bool bMoreA = false, bMoreB = false;
    if (folderA != folderB) {
        // Up to the folder both lie beneath; the components just below it decide.
        uint32_t depthA = Depth(s, folderA), depthB = Depth(s, folderB);
        for (; depthA > depthB; --depthA, folderA = s.Parent(folderA), bMoreA = true)
            a = s.Name(folderA);
        for (; depthB > depthA; --depthB, folderB = s.Parent(folderB), bMoreB = true)
            b = s.Name(folderB);
        for (; folderA != folderB; folderA = s.Parent(folderA), folderB = s.Parent(folderB)) {
            a = s.Name(folderA);
            b = s.Name(folderB);
            bMoreA = bMoreB = true;
        }
    }
    const int order = CompareComponents(a, bMoreA, b, bMoreB);
    return order != 0 ? order < 0 : fileA < fileB;
}

LinkedNameCounter::LinkedNameCounter(const FolderSnapshot& snapshot, Index top, bool bKeepEveryName,
                                     bool bDiskBytes)
    : m_snapshot(snapshot), m_top(top), m_bKeepEveryName(bKeepEveryName), m_bDiskBytes(bDiskBytes) {
}

LinkedNameCounter::Table& LinkedNameCounter::TableOf(uint64_t device) {
    for (size_t i = 0; i < m_devices.size(); ++i)
        if (m_devices[i] == device)
            return m_tables[i];
    m_devices.push_back(device);
    m_tables.emplace_back(kParts);
    return m_tables.back();
}

LinkedNameCounter::Slot& LinkedNameCounter::Find(Part& part, uint64_t hash, uint64_t id) {
    const size_t size = part.slots.size();
    for (size_t i = static_cast<size_t>(((hash & 0xFFFFFFFFu) * size) >> 32);;
         i = i + 1 < size ? i + 1 : 0) {
        Slot& slot = part.slots[i];
        if (slot.folder == FolderSnapshot::kNone || slot.id == id)
            return slot;
    }
}

void LinkedNameCounter::Grow(Part& part) {
    const size_t size = part.slots.size();
    std::vector<Slot> old(size < 16 ? 16 : size + size / 4, Slot{0, FolderSnapshot::kNone, 0});
    old.swap(part.slots);
    for (const Slot& slot : old)
        if (slot.folder != FolderSnapshot::kNone)
            Find(part, Mix(slot.id), slot.id) = slot;
}

FolderSnapshot::Index LinkedNameCounter::RowOf(Index folder) {
    if (folder != m_lastFolder) {
        m_lastFolder = folder;
        while (folder != m_top && m_snapshot.Parent(folder) != m_top &&
               folder != FolderSnapshot::kNone)
            folder = m_snapshot.Parent(folder);
        m_lastRow = folder;
    }
    return m_lastRow;
}

void LinkedNameCounter::Take(const LinkedName& name) {
    if (m_bKeepEveryName)
        m_names.push_back(name);
    const uint64_t hash = Mix(name.id);
    Part& part = TableOf(name.device)[hash >> 56];
    if ((part.used + 1) * 16 > part.slots.size() * 15)
        Grow(part);
    Slot& slot = Find(part, hash, name.id);
    if (slot.folder == FolderSnapshot::kNone) {
        slot = {name.id, name.folder, name.file};
        ++part.used;
        ++m_nFiles;
        return;
    }
    Index later = name.folder;
    if (ComesFirstByPath(m_snapshot, name.folder, name.file, slot.folder, slot.file & ~kLater)) {
        later = slot.folder;
        slot.folder = name.folder;
        slot.file = name.file | (slot.file & kLater);
    }
    // Every name of the file has the same bytes on disk: this one's are read.
    const int64_t nDisk = m_bDiskBytes ? m_snapshot.FileAllocated(name.folder, name.file) : -1;
    m_laterBytes[RowOf(later)] += nDisk >= 0 ? nDisk : name.bytes;
    if (!(slot.file & kLater)) {
        slot.file |= kLater;
        ++m_nCountedOnce;
    }
}
