#pragma once
// The folder history behind Back, Forward and Up: the two lists, the moves between
// them, the drop-down popups' items, and the walk that finds a visited tree node again.
// Portable: the tree is reached through TreeNavigator, so the rules are tested without
// windows; the main window binds it to its folder tree.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One visit: the node's text for the popup, and the texts of the nodes from the root's
// child down to it, each behind one backslash ("" names the root itself). A backslash or
// percent sign inside a node text is written %5C or %25, so a text such as
// "share (\\server) (Z:)" still reads back as one node.
// The fixed fields' size: the platform's path limit (MAX_PATH), terminator included.
constexpr std::size_t kHistoryFieldBytes = 260;
// nScan tells where the node is: 0 in the tree of this computer's folders, else in the tree
// of the saved scan opened as the nScan-th.
struct HistoryEntry {
    char szLabel[kHistoryFieldBytes];
    char szTreePath[kHistoryFieldBytes];
    unsigned nScan = 0;
};

// szTreePath of a visit whose path does not fit the field: never found again.
constexpr char kUnreachableTreePath[] = "*";

// The tree path of the node texts given from the root's child downward; nullopt when it
// does not fit 259 bytes.
std::optional<std::string> EncodeTreePath(const std::vector<std::string>& texts);
// The node texts a tree path names; nullopt for a text no encoding gives.
std::optional<std::vector<std::string>> DecodeTreePath(const std::string& strTreePath);

// Copies at most 259 bytes of `text` and the terminator, never ending inside a UTF-8
// sequence (the program's code page).
void CopyLabel(char (&field)[kHistoryFieldBytes], const std::string& text);
HistoryEntry MakeHistoryEntry(const std::string& label, const std::vector<std::string>& texts);

// The operations the history needs from the folder tree. Nodes are opaque; 0 is none.
class TreeNavigator {
public:
    using Node = std::size_t;
    virtual ~TreeNavigator() = default;
    virtual Node Root() const = 0;
    virtual Node Selected() const = 0;
    virtual Node Parent(Node node) const = 0;
    virtual Node FirstChild(Node node) const = 0;
    virtual Node NextSibling(Node node) const = 0;
    virtual std::string Text(Node node) const = 0;
    virtual void Select(Node node) = 0; // raises the selection change when it changes
    virtual void Expand(Node node) = 0;
    virtual void LockUpdates() = 0;
    virtual void UnlockUpdates() = 0;
};

// Finds the node a tree path names and selects it, expanding its parent so it shows.
// Nothing is expanded on the way. When a component matches no child (renamed, removed,
// or not loaded) or the path is unreadable, nothing is selected and the result is false.
// Window updates are unlocked on every way out.
bool SelectTreePath(TreeNavigator& tree, const std::string& strTreePath);

// The entry for the selected node, or nullopt when nothing is selected. The walk up
// stops at the root and at a node without a parent.
std::optional<HistoryEntry> MakeVisitEntry(const TreeNavigator& tree);

// Up: the selected node's parent, or 0 when there is none (the root, or no selection).
TreeNavigator::Node UpTarget(const TreeNavigator& tree);

struct HistoryMenuItem {
    unsigned nID;
    std::string strLabel;
};

class FolderHistory {
public:
    static constexpr std::size_t kMaxBackAfterVisit = 9;   // the current visit and 8 older
    static constexpr std::size_t kMaxBackAfterForward = 8; // the target and 7 older
    static constexpr std::size_t kMaxForward = 8;

    // back[0] is the current visit, back[1] the one before; forward[0] one step ahead.
    std::vector<HistoryEntry> m_arrBack;
    std::vector<HistoryEntry> m_arrForward;

    void RecordVisit(const HistoryEntry& entry);

    bool CanGoBack() const { return m_arrBack.size() > 1; }
    bool CanGoForward() const { return !m_arrForward.empty(); }

    // Go to back[n + 1] or forward[n]: `select` is called with the target's tree path
    // and tells whether it found the node. Only then are the lists rebuilt (also when the
    // node was selected already); a target not found, or an index without an entry,
    // leaves both lists as they were. Nor are they rebuilt when the history changed
    // while `select` ran (the folder it showed handled messages, and the user went
    // elsewhere meanwhile): that newer visit or move stands. The result is whether the
    // move happened.
    template <class SelectFn> bool GoBack(std::size_t n, SelectFn&& select);
    template <class SelectFn> bool GoForward(std::size_t n, SelectFn&& select);

    // The popups' items: back[1..] from 32784, forward[0..] from 32794.
    std::vector<HistoryMenuItem> BackMenuItems() const;
    std::vector<HistoryMenuItem> ForwardMenuItems() const;

    void RebuildAfterBack(std::size_t n);
    void RebuildAfterForward(std::size_t n);

private:
    unsigned m_nChanges = 0; // visits recorded and moves made, to see one made meanwhile
};

// Moves through the history by selecting tree nodes. The selection change they cause
// must not be recorded: bRecordHistory is false while the node is selected and true
// again afterwards, whatever happens (the one who sees that selection may turn it on
// earlier, so a selection made while the folder shows is recorded).
bool GoBack(FolderHistory& history, TreeNavigator& tree, std::size_t n, bool& bRecordHistory);
bool GoForward(FolderHistory& history, TreeNavigator& tree, std::size_t n, bool& bRecordHistory);

// Command numbers of the toolbar buttons and the popups' items.
namespace history_ids {
constexpr unsigned kBack = 201;
constexpr unsigned kForward = 202;
constexpr unsigned kViewType = 209;
constexpr unsigned kBackFolder0 = 32784;
constexpr unsigned kForwardFolder0 = 32794;
constexpr unsigned kFolderItems = 8;
constexpr unsigned kBackMenu = 134;
constexpr unsigned kForwardMenu = 135;
constexpr unsigned kViewTypeMenu = 136;
} // namespace history_ids

// Which steps back (or forward) a command asks for: Back and BackFolder0 are 0, up to
// BackFolder7 = 7; nullopt for other commands.
std::optional<std::size_t> BackStepsOfCommand(unsigned nID);
std::optional<std::size_t> ForwardStepsOfCommand(unsigned nID);
// The menu resource a toolbar arrow opens (0: none), and whether its placeholder items
// are replaced by the history's.
unsigned DropDownMenuOf(unsigned nButtonID);
bool DropDownListsHistory(unsigned nButtonID);

template <class SelectFn> bool FolderHistory::GoBack(std::size_t n, SelectFn&& select) {
    if (n + 1 >= m_arrBack.size())
        return false;
    const HistoryEntry target = m_arrBack[n + 1];
    const unsigned nChanges = m_nChanges;
    if (!select(std::string(target.szTreePath)) || m_nChanges != nChanges)
        return false;
    RebuildAfterBack(n);
    return true;
}

template <class SelectFn> bool FolderHistory::GoForward(std::size_t n, SelectFn&& select) {
    if (n >= m_arrForward.size())
        return false;
    const HistoryEntry target = m_arrForward[n];
    const unsigned nChanges = m_nChanges;
    if (!select(std::string(target.szTreePath)) || m_nChanges != nChanges)
        return false;
    RebuildAfterForward(n);
    return true;
}
