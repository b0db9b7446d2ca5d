#include "folder_history.h"

#include <algorithm>
#include <cstring>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Locks the tree's window updates for as long as it lives.
class UpdateLock {
public:
    explicit UpdateLock(TreeNavigator& tree) : m_tree(tree) { m_tree.LockUpdates(); }
    ~UpdateLock() { m_tree.UnlockUpdates(); }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    TreeNavigator& m_tree;
};

// Clears the record flag for as long as it lives.
class NoRecording {
public:
    explicit NoRecording(bool& bRecord) : m_bRecord(bRecord) { m_bRecord = false; }
    ~NoRecording() { m_bRecord = true; }
    NoRecording(const NoRecording&) = delete;
    NoRecording& operator=(const NoRecording&) = delete;

private:
    bool& m_bRecord;
};

} // namespace

std::optional<std::string> EncodeTreePath(const std::vector<std::string>& texts) {
    std::string path;
    for (const std::string& text : texts) {
        path += '\\';
        for (char c : text) {
            if (c == '\\')
                path += "%5C";
            else if (c == '%')
                path += "%25";
            else
                path += c;
        }
    }
    if (path.size() >= kHistoryFieldBytes)
        return std::nullopt;
    return path;
}

std::optional<std::vector<std::string>> DecodeTreePath(const std::string& strTreePath) {
    std::vector<std::string> texts;
    if (strTreePath.empty())
        return texts;
    if (strTreePath[0] != '\\')
        return std::nullopt;
    for (std::size_t i = 0; i < strTreePath.size(); ++i) {
        const char c = strTreePath[i];
        if (c == '\\') {
            texts.emplace_back();
        } else if (c == '%') {
            if (i + 2 >= strTreePath.size())
                return std::nullopt;
            const int hi = HexValue(strTreePath[i + 1]);
            const int lo = HexValue(strTreePath[i + 2]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            texts.back() += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            texts.back() += c;
        }
    }
    return texts;
}

void CopyLabel(char (&field)[kHistoryFieldBytes], const std::string& text) {
    std::size_t n = std::min(text.size(), kHistoryFieldBytes - 1);
    if (n < text.size()) {
        // Cut before the sequence the limit falls into: drop continuation bytes, then
        // their lead byte.
        auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
        if ((byte(n) & 0xC0) == 0x80) {
            while (n > 0 && (byte(n) & 0xC0) == 0x80)
                --n;
        }
    }
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

HistoryEntry MakeHistoryEntry(const std::string& label, const std::vector<std::string>& texts) {
    HistoryEntry entry{};
    CopyLabel(entry.szLabel, label);
    const std::optional<std::string> path = EncodeTreePath(texts);
    const std::string& stored = path ? *path : std::string(kUnreachableTreePath);
    std::memcpy(entry.szTreePath, stored.c_str(), stored.size() + 1);
    return entry;
}

bool SelectTreePath(TreeNavigator& tree, const std::string& strTreePath) {
    const std::optional<std::vector<std::string>> texts = DecodeTreePath(strTreePath);
    if (!texts)
        return false;
    UpdateLock lock(tree);
    TreeNavigator::Node node = tree.Root();
    if (!node)
        return false;
    for (const std::string& text : *texts) {
        TreeNavigator::Node child = tree.FirstChild(node);
        while (child && tree.Text(child) != text)
            child = tree.NextSibling(child);
        if (!child)
            return false;
        node = child;
    }
    tree.Select(node);
    if (TreeNavigator::Node parent = tree.Parent(node))
        tree.Expand(parent);
    return true;
}

std::optional<HistoryEntry> MakeVisitEntry(const TreeNavigator& tree) {
    const TreeNavigator::Node selected = tree.Selected();
    if (!selected)
        return std::nullopt;
    const TreeNavigator::Node root = tree.Root();
    std::vector<std::string> texts;
    for (TreeNavigator::Node node = selected; node && node != root; node = tree.Parent(node))
        texts.push_back(tree.Text(node));
    std::reverse(texts.begin(), texts.end());
    return MakeHistoryEntry(tree.Text(selected), texts);
}

TreeNavigator::Node UpTarget(const TreeNavigator& tree) {
    const TreeNavigator::Node selected = tree.Selected();
    return selected ? tree.Parent(selected) : 0;
}

void FolderHistory::RecordVisit(const HistoryEntry& entry) {
    ++m_nChanges;
    std::vector<HistoryEntry> back;
    back.reserve(kMaxBackAfterVisit);
    back.push_back(entry);
    const std::size_t kept = std::min(m_arrBack.size(), kMaxBackAfterVisit - 1);
    back.insert(back.end(), m_arrBack.begin(),
                m_arrBack.begin() + static_cast<std::ptrdiff_t>(kept));
    m_arrBack.swap(back);
    std::vector<HistoryEntry>().swap(m_arrForward);
}

void FolderHistory::RebuildAfterBack(std::size_t n) {
    ++m_nChanges;
    // The visits newer than the target, nearest first: back[n] .. back[0], forward[..].
    std::vector<HistoryEntry> forward;
    for (std::size_t i = n + 1; i-- > 0;)
        forward.push_back(m_arrBack[i]);
    forward.insert(forward.end(), m_arrForward.begin(), m_arrForward.end());
    if (forward.size() > kMaxForward)
        forward.resize(kMaxForward);
    m_arrBack.erase(m_arrBack.begin(), m_arrBack.begin() + static_cast<std::ptrdiff_t>(n + 1));
    m_arrForward.swap(forward);
}

void FolderHistory::RebuildAfterForward(std::size_t n) {
    ++m_nChanges;
    // The target and what lies between it and the current visit, then the old back list.
    std::vector<HistoryEntry> back;
    for (std::size_t i = n + 1; i-- > 0;)
        back.push_back(m_arrForward[i]);
    back.insert(back.end(), m_arrBack.begin(), m_arrBack.end());
    if (back.size() > kMaxBackAfterForward)
        back.resize(kMaxBackAfterForward);
    m_arrForward.erase(m_arrForward.begin(),
                       m_arrForward.begin() + static_cast<std::ptrdiff_t>(n + 1));
    m_arrBack.swap(back);
}

std::vector<HistoryMenuItem> FolderHistory::BackMenuItems() const {
    std::vector<HistoryMenuItem> items;
    for (std::size_t i = 1; i < m_arrBack.size(); ++i)
        items.push_back(
            {history_ids::kBackFolder0 - 1 + static_cast<unsigned>(i), m_arrBack[i].szLabel});
    return items;
}

std::vector<HistoryMenuItem> FolderHistory::ForwardMenuItems() const {
    std::vector<HistoryMenuItem> items;
    for (std::size_t i = 0; i < m_arrForward.size(); ++i)
        items.push_back(
            {history_ids::kForwardFolder0 + static_cast<unsigned>(i), m_arrForward[i].szLabel});
    return items;
}

bool GoBack(FolderHistory& history, TreeNavigator& tree, std::size_t n, bool& bRecordHistory) {
    return history.GoBack(n, [&](const std::string& path) {
        NoRecording quiet(bRecordHistory);
        return SelectTreePath(tree, path);
    });
}

bool GoForward(FolderHistory& history, TreeNavigator& tree, std::size_t n, bool& bRecordHistory) {
    return history.GoForward(n, [&](const std::string& path) {
        NoRecording quiet(bRecordHistory);
        return SelectTreePath(tree, path);
    });
}

std::optional<std::size_t> BackStepsOfCommand(unsigned nID) {
    using namespace history_ids;
    if (nID == kBack)
        return 0;
    if (nID >= kBackFolder0 && nID < kBackFolder0 + kFolderItems)
        return nID - kBackFolder0;
    return std::nullopt;
}

std::optional<std::size_t> ForwardStepsOfCommand(unsigned nID) {
    using namespace history_ids;
    if (nID == kForward)
        return 0;
    if (nID >= kForwardFolder0 && nID < kForwardFolder0 + kFolderItems)
        return nID - kForwardFolder0;
    return std::nullopt;
}

unsigned DropDownMenuOf(unsigned nButtonID) {
    using namespace history_ids;
    switch (nButtonID) {
    case kBack:
        return kBackMenu;
    case kForward:
        return kForwardMenu;
    case kViewType:
        return kViewTypeMenu;
    default:
        return 0;
    }
}

bool DropDownListsHistory(unsigned nButtonID) {
    return nButtonID == history_ids::kBack || nButtonID == history_ids::kForward;
}
