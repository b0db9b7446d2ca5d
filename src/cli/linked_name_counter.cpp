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

LinkedNameCounter::LinkedNameCounter(const FolderSnapshot& snapshot, bool bKeepEveryName)
    : m_snapshot(snapshot), m_bKeepEveryName(bKeepEveryName) {}

uint32_t LinkedNameCounter::DeviceNumber(uint64_t device) {
    for (size_t i = 0; i < m_devices.size(); ++i)
        if (m_devices[i] == device)
            return static_cast<uint32_t>(i);
    m_devices.push_back(device);
    return static_cast<uint32_t>(m_devices.size() - 1);
}

LinkedNameCounter::Slot& LinkedNameCounter::Find(uint64_t id, uint32_t device) {
    const size_t mask = m_slots.size() - 1;
    for (size_t i = Mix(id ^ uint64_t{device} << 56) & mask;; i = (i + 1) & mask) {
        Slot& slot = m_slots[i];
        if (slot.folder == FolderSnapshot::kNone || (slot.id == id && slot.device == device))
            return slot;
    }
}

void LinkedNameCounter::Grow() {
    std::vector<Slot> old(m_slots.empty() ? 1024 : m_slots.size() * 2,
                          Slot{0, 0, FolderSnapshot::kNone, 0, 0});
    old.swap(m_slots);
    for (const Slot& slot : old)
        if (slot.folder != FolderSnapshot::kNone)
            Find(slot.id, slot.device) = slot;
}

void LinkedNameCounter::Take(const LinkedName& name) {
    if (m_bKeepEveryName)
        m_names.push_back(name);
    // Grown once seven eighths are taken: probes stay short and the table small.
    if ((m_nFiles + 1) * 8 > m_slots.size() * 7)
        Grow();
    const uint32_t device = DeviceNumber(name.device);
    Slot& slot = Find(name.id, device);
    if (slot.folder == FolderSnapshot::kNone) {
        slot = {name.id, device, name.folder, name.file, 0};
        ++m_nFiles;
        return;
    }
    Index later = name.folder;
    if (ComesFirstByPath(m_snapshot, name.folder, name.file, slot.folder, slot.file)) {
        later = slot.folder;
        slot.folder = name.folder;
        slot.file = name.file;
    }
    m_laterBytes[later] += name.bytes;
    if (!slot.bLater) {
        slot.bLater = 1;
        ++m_nCountedOnce;
    }
}
