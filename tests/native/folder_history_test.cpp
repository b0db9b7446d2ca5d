// The folder history's rules: the lists after visits and moves, their limits, the
// popups' items, and finding visited nodes again in a tree of node texts.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "folder_history.h"

namespace {

// A tree of node texts with the selection behaviour of a tree control: selecting
// another node raises a selection change, selecting the selected one does not.
class ModelTree : public TreeNavigator {
public:
    struct Item {
        Node parent;
        std::string text;
        std::vector<Node> children;
    };
    std::vector<Item> m_items; // node n is m_items[n - 1]
    std::vector<Node> m_topLevel;
    Node m_selected = 0;
    int m_nLocks = 0;
    int m_nMaxLocks = 0;
    std::vector<Node> m_expanded;
    std::function<void()> m_onSelChanged;

    Node Add(Node parent, const std::string& text) {
        m_items.push_back({parent, text, {}});
        const Node node = m_items.size();
        (parent ? m_items[parent - 1].children : m_topLevel).push_back(node);
        return node;
    }
    Node Root() const override { return m_topLevel.empty() ? 0 : m_topLevel.front(); }
    Node Selected() const override { return m_selected; }
    Node Parent(Node node) const override { return m_items[node - 1].parent; }
    Node FirstChild(Node node) const override {
        const auto& children = m_items[node - 1].children;
        return children.empty() ? 0 : children.front();
    }
    Node NextSibling(Node node) const override {
        const Node parent = Parent(node);
        const auto& siblings = parent ? m_items[parent - 1].children : m_topLevel;
        for (std::size_t i = 0; i + 1 < siblings.size(); ++i)
            if (siblings[i] == node)
                return siblings[i + 1];
        return 0;
    }
    std::string Text(Node node) const override { return m_items[node - 1].text; }
    void Select(Node node) override {
        EXPECT_GT(m_nLocks, 0) << "selected without locked updates";
        if (node == m_selected)
            return;
        m_selected = node;
        if (m_onSelChanged)
            m_onSelChanged();
    }
    void Expand(Node node) override { m_expanded.push_back(node); }
    void LockUpdates() override { m_nMaxLocks = std::max(m_nMaxLocks, ++m_nLocks); }
    void UnlockUpdates() override { --m_nLocks; }
};

// The program's side: every selection change is a visit unless a move is selecting.
struct Browser {
    ModelTree tree;
    FolderHistory history;
    bool bRecordHistory = true;
    int nShown = 0;
    ModelTree::Node desktop, computer, driveC, driveZ;

    Browser() {
        desktop = tree.Add(0, "Desktop");
        computer = tree.Add(desktop, "My Computer");
        driveC = tree.Add(computer, "(C:)");
        driveZ = tree.Add(computer, "/ (Z:)");
        tree.m_onSelChanged = [this] {
            ++nShown;
            if (bRecordHistory)
                if (auto entry = MakeVisitEntry(tree))
                    history.RecordVisit(*entry);
        };
    }
    void Visit(ModelTree::Node node) {
        ++tree.m_nLocks; // a user's click needs no lock; keep the model's check quiet
        tree.Select(node);
        --tree.m_nLocks;
    }
    bool Back(std::size_t n) { return GoBack(history, tree, n, bRecordHistory); }
    bool Forward(std::size_t n) { return GoForward(history, tree, n, bRecordHistory); }
};

std::vector<std::string> Labels(const std::vector<HistoryEntry>& entries) {
    std::vector<std::string> labels;
    for (const HistoryEntry& entry : entries)
        labels.push_back(entry.szLabel);
    return labels;
}

using Strings = std::vector<std::string>;

TEST(FolderHistory, VisitsStackUpAndThePopupOffersTheOlderOnes) {
    Browser b;
    const auto a = b.tree.Add(b.driveC, "A"), bb = b.tree.Add(b.driveC, "B"),
               c = b.tree.Add(b.driveC, "C");
    b.Visit(b.computer);
    EXPECT_FALSE(b.history.CanGoBack());
    EXPECT_FALSE(b.history.CanGoForward());
    EXPECT_STREQ(b.history.m_arrBack[0].szTreePath, "\\My Computer");
    b.Visit(a);
    b.Visit(bb);
    b.Visit(c);
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"C", "B", "A", "My Computer"}));
    EXPECT_STREQ(b.history.m_arrBack[0].szTreePath, "\\My Computer\\(C:)\\C");
    const auto items = b.history.BackMenuItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].nID, 32784u);
    EXPECT_EQ(items[0].strLabel, "B");
    EXPECT_EQ(items[1].nID, 32785u);
    EXPECT_EQ(items[2].nID, 32786u);
    EXPECT_EQ(items[2].strLabel, "My Computer");
    EXPECT_TRUE(b.history.CanGoBack());
    // The same folder again is a visit of its own.
    b.Visit(a);
    b.Visit(c);
    EXPECT_EQ(b.history.m_arrBack.size(), 6u);
}

TEST(FolderHistory, BackAndThePopupMoveThroughTheTimeline) {
    Browser b;
    const auto a = b.tree.Add(b.driveC, "A"), bb = b.tree.Add(b.driveC, "B"),
               c = b.tree.Add(b.driveC, "C");
    for (auto node : {b.computer, a, bb, c})
        b.Visit(node);

    Browser one = b;
    one.tree.m_onSelChanged = nullptr; // the copy's callback still points at b
    EXPECT_TRUE(GoBack(one.history, one.tree, 0, one.bRecordHistory));
    EXPECT_EQ(Labels(one.history.m_arrBack), (Strings{"B", "A", "My Computer"}));
    EXPECT_EQ(Labels(one.history.m_arrForward), (Strings{"C"}));
    EXPECT_EQ(one.tree.m_selected, bb);
    EXPECT_EQ(one.tree.m_expanded.back(), b.driveC);

    // The popup's second item (32785 -> two steps).
    const int shown = b.nShown;
    ASSERT_EQ(BackStepsOfCommand(32785), 1u);
    EXPECT_TRUE(b.Back(1));
    EXPECT_EQ(b.nShown, shown + 1);
    EXPECT_EQ(b.tree.m_selected, a);
    EXPECT_TRUE(b.bRecordHistory);
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"A", "My Computer"}));
    EXPECT_EQ(Labels(b.history.m_arrForward), (Strings{"B", "C"}));
    const auto items = b.history.ForwardMenuItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].nID, 32794u);
    EXPECT_EQ(items[0].strLabel, "B");
    EXPECT_EQ(items[1].nID, 32795u);

    // Forward two steps: back = C, B, A, M.
    EXPECT_TRUE(b.Forward(1));
    EXPECT_EQ(b.tree.m_selected, c);
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"C", "B", "A", "My Computer"}));
    EXPECT_TRUE(b.history.m_arrForward.empty());

    // A new visit after going back empties the forward list.
    EXPECT_TRUE(b.Back(0));
    EXPECT_EQ(b.history.m_arrForward.size(), 1u);
    b.Visit(b.driveZ);
    EXPECT_TRUE(b.history.m_arrForward.empty());
    EXPECT_FALSE(b.history.CanGoForward());
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"/ (Z:)", "B", "A", "My Computer"}));
}

TEST(FolderHistory, ListsKeepTheirLimits) {
    Browser b;
    std::vector<ModelTree::Node> folders;
    for (int i = 0; i < 12; ++i)
        folders.push_back(b.tree.Add(b.driveC, "F" + std::to_string(i)));
    b.Visit(b.computer);
    for (int i = 0; i < 9; ++i)
        b.Visit(folders[i]);
    // Ten visits: 9 kept, the popup lists 8 with the last ids.
    ASSERT_EQ(b.history.m_arrBack.size(), 9u);
    EXPECT_EQ(b.history.BackMenuItems().size(), 8u);
    EXPECT_EQ(b.history.BackMenuItems().back().nID, 32791u);
    EXPECT_STREQ(b.history.m_arrBack.back().szLabel, "F0");
    b.Visit(folders[9]);
    ASSERT_EQ(b.history.m_arrBack.size(), 9u);
    EXPECT_STREQ(b.history.m_arrBack.back().szLabel, "F1");

    // The farthest step back: forward gets the 8 newer visits, back only the target.
    EXPECT_TRUE(b.Back(7));
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"F1"}));
    EXPECT_EQ(b.history.m_arrForward.size(), 8u);
    EXPECT_STREQ(b.history.m_arrForward[0].szLabel, "F2");
    EXPECT_STREQ(b.history.m_arrForward[7].szLabel, "F9");
    EXPECT_FALSE(b.history.CanGoBack());
    EXPECT_FALSE(b.Back(0)); // no back[1]: nothing happens

    // All the way forward: the rebuilt back list stops at 8 (the target and 7 older).
    EXPECT_TRUE(b.Forward(7));
    ASSERT_EQ(b.history.m_arrBack.size(), 8u);
    EXPECT_STREQ(b.history.m_arrBack[0].szLabel, "F9");
    EXPECT_STREQ(b.history.m_arrBack[7].szLabel, "F2");
    EXPECT_EQ(b.history.BackMenuItems().size(), 7u);
    EXPECT_FALSE(b.Forward(0));

    // Going back one and forward again keeps 8; a visit allows 9 once more.
    EXPECT_TRUE(b.Back(0));
    EXPECT_EQ(b.history.m_arrBack.size(), 7u);
    EXPECT_TRUE(b.Forward(0));
    EXPECT_EQ(b.history.m_arrBack.size(), 8u);
    b.Visit(folders[10]);
    EXPECT_EQ(b.history.m_arrBack.size(), 9u);

    // The timeline never holds more than 9 visits, so a back move never cuts it.
    EXPECT_TRUE(b.Back(7));
    EXPECT_EQ(b.history.m_arrForward.size(), 8u);
    EXPECT_EQ(b.history.m_arrBack.size(), 1u);
}

TEST(FolderHistory, BackToTheSelectedNodeRebuildsWithoutShowingAgain) {
    Browser b;
    b.Visit(b.computer);
    b.Visit(b.driveC);
    b.Visit(b.computer);
    b.Visit(b.driveC);
    const int shown = b.nShown;
    EXPECT_TRUE(b.Back(1)); // back[2] is the drive again, already selected
    EXPECT_EQ(b.nShown, shown);
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"(C:)", "My Computer"}));
    EXPECT_EQ(Labels(b.history.m_arrForward), (Strings{"My Computer", "(C:)"}));
}

// A large folder handles messages while it shows, so the user may go elsewhere while a
// move's own selection is still being handled: that newer visit or move stands.
TEST(FolderHistory, AVisitOrMoveMadeWhileAMoveSelectsStands) {
    Browser b;
    const auto a = b.tree.Add(b.driveC, "A"), bb = b.tree.Add(b.driveC, "B"),
               c = b.tree.Add(b.driveC, "C");
    for (auto node : {b.computer, a, bb})
        b.Visit(node);
    // As the program does it: the move's own selection is not recorded, a later one is.
    std::function<void()> whileShowing;
    b.tree.m_onSelChanged = [&] {
        const bool bRecord = b.bRecordHistory;
        b.bRecordHistory = true;
        if (bRecord)
            if (auto entry = MakeVisitEntry(b.tree))
                b.history.RecordVisit(*entry);
        if (auto action = std::exchange(whileShowing, nullptr))
            action();
    };
    whileShowing = [&] { b.Visit(c); };
    EXPECT_FALSE(b.Back(0)); // to A, but C was chosen while A showed
    EXPECT_EQ(b.tree.m_selected, c);
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"C", "B", "A", "My Computer"}));
    EXPECT_TRUE(b.history.m_arrForward.empty());

    whileShowing = [&] { b.Back(1); }; // Back to A, and meanwhile two steps back
    EXPECT_FALSE(b.Back(1));
    EXPECT_EQ(b.tree.m_selected, a);
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"A", "My Computer"}));
    EXPECT_EQ(Labels(b.history.m_arrForward), (Strings{"B", "C"}));
    EXPECT_TRUE(b.bRecordHistory);
}

TEST(FolderHistory, ANodeNoLongerThereSelectsNothingAndKeepsTheLists) {
    Browser b;
    const auto gone = b.tree.Add(b.driveC, "Gone");
    b.Visit(b.computer);
    b.Visit(gone);
    b.Visit(b.driveZ);
    EXPECT_TRUE(b.Back(0));
    b.tree.m_items[gone - 1].text = "Renamed";
    EXPECT_TRUE(b.Back(0)); // to My Computer
    b.tree.m_expanded.clear();
    const int shown = b.nShown;
    EXPECT_FALSE(b.Forward(0)); // "Gone" is not found
    EXPECT_EQ(b.tree.m_selected, b.computer);
    EXPECT_EQ(b.nShown, shown);
    EXPECT_TRUE(b.tree.m_expanded.empty());
    EXPECT_EQ(Labels(b.history.m_arrForward), (Strings{"Gone", "/ (Z:)"}));
    EXPECT_EQ(Labels(b.history.m_arrBack), (Strings{"My Computer"}));
    EXPECT_TRUE(b.bRecordHistory);
    EXPECT_EQ(b.tree.m_nLocks, 0);
    EXPECT_GT(b.tree.m_nMaxLocks, 0);
    EXPECT_TRUE(b.Forward(1)); // the drive is still there
    EXPECT_EQ(b.tree.m_selected, b.driveZ);

    // A level that is not loaded ends the search the same way.
    EXPECT_FALSE(SelectTreePath(b.tree, "\\My Computer\\(C:)\\Renamed\\Deeper"));
    EXPECT_EQ(b.tree.m_nLocks, 0);
    EXPECT_EQ(b.tree.m_selected, b.driveZ);
}

TEST(FolderHistory, NodeTextsWithBackslashesAreFoundAgain) {
    Browser b;
    const auto share = b.tree.Add(b.computer, "share (\\\\server) (Y:)");
    const auto odd = b.tree.Add(share, "100% \\done\\");
    const auto empty = b.tree.Add(share, "");
    b.tree.Add(b.computer, "share (");
    b.Visit(b.computer);
    b.Visit(odd);
    EXPECT_STREQ(b.history.m_arrBack[0].szTreePath,
                 "\\My Computer\\share (%5C%5Cserver) (Y:)\\100%25 %5Cdone%5C");
    b.Visit(empty);
    b.Visit(share);
    EXPECT_TRUE(b.Back(0));
    EXPECT_EQ(b.tree.m_selected, empty);
    EXPECT_TRUE(b.Back(0));
    EXPECT_EQ(b.tree.m_selected, odd);
    EXPECT_STREQ(b.history.m_arrBack[0].szLabel, "100% \\done\\");
    EXPECT_TRUE(b.Forward(1));
    EXPECT_EQ(b.tree.m_selected, share);

    // Round trips, and texts no encoding gives.
    const Strings texts{"", "\\", "%5C", "a\\\\b"};
    EXPECT_EQ(DecodeTreePath(*EncodeTreePath(texts)), texts);
    EXPECT_EQ(DecodeTreePath(""), Strings{});
    EXPECT_FALSE(DecodeTreePath("My Computer"));
    EXPECT_FALSE(DecodeTreePath("\\50%"));
    EXPECT_FALSE(DecodeTreePath("\\50%zz"));
    EXPECT_FALSE(SelectTreePath(b.tree, kUnreachableTreePath));
}

TEST(FolderHistory, TheFieldsAreNeverOverrun) {
    // A path of exactly 259 bytes fits; one more is refused and never found.
    const std::string name(259 - 1, 'x');
    EXPECT_EQ(EncodeTreePath({name})->size(), 259u);
    EXPECT_FALSE(EncodeTreePath({name + "y"}));
    EXPECT_FALSE(EncodeTreePath({std::string(100, '\\')})); // 300 bytes once escaped

    Browser b;
    auto node = b.driveC;
    for (int i = 0; i < 30; ++i)
        node = b.tree.Add(node, "folder" + std::to_string(i));
    b.Visit(b.computer);
    b.Visit(node);
    EXPECT_STREQ(b.history.m_arrBack[0].szTreePath, kUnreachableTreePath);
    EXPECT_STREQ(b.history.m_arrBack[0].szLabel, "folder29");
    b.Visit(b.driveZ);
    EXPECT_FALSE(b.Back(0));
    EXPECT_EQ(b.tree.m_selected, b.driveZ);
    EXPECT_EQ(b.history.m_arrBack.size(), 3u);
    EXPECT_TRUE(b.Back(1)); // the older entries stay reachable
    EXPECT_EQ(b.tree.m_selected, b.computer);

    // Labels are cut at 259 bytes, never inside a UTF-8 sequence.
    HistoryEntry entry{};
    CopyLabel(entry.szLabel, std::string(258, 'a') + "\xC3\xA9z");
    EXPECT_EQ(std::string(entry.szLabel), std::string(258, 'a'));
    CopyLabel(entry.szLabel, std::string(257, 'a') + "\xC3\xA9z");
    EXPECT_EQ(std::string(entry.szLabel), std::string(257, 'a') + "\xC3\xA9");
    CopyLabel(entry.szLabel, std::string(400, 'b'));
    EXPECT_EQ(std::string(entry.szLabel).size(), 259u);
}

TEST(FolderHistory, WalkingUpStopsAtTheRootAndAtAMissingParent) {
    Browser b;
    // A second top-level node: its path is walked up to it, not to the root.
    const auto loose = b.tree.Add(0, "Loose");
    const auto inner = b.tree.Add(loose, "Inner");
    b.Visit(inner);
    ASSERT_EQ(b.history.m_arrBack.size(), 1u);
    EXPECT_STREQ(b.history.m_arrBack[0].szTreePath, "\\Loose\\Inner");
    b.Visit(b.tree.Root());
    EXPECT_STREQ(b.history.m_arrBack[0].szTreePath, "");
    EXPECT_STREQ(b.history.m_arrBack[0].szLabel, "Desktop");

    // Up: the parent, none on the root, none on a top-level node, none without selection.
    b.Visit(b.driveC);
    EXPECT_EQ(UpTarget(b.tree), b.computer);
    b.Visit(b.tree.Root());
    EXPECT_EQ(UpTarget(b.tree), 0u);
    b.Visit(loose);
    EXPECT_EQ(UpTarget(b.tree), 0u);
    ModelTree empty;
    EXPECT_EQ(UpTarget(empty), 0u);
    EXPECT_FALSE(MakeVisitEntry(empty));
    EXPECT_FALSE(SelectTreePath(empty, ""));
    EXPECT_EQ(empty.m_nLocks, 0);

    // The empty path selects the root; the first of two equal siblings wins.
    const auto first = b.tree.Add(b.driveC, "Twin");
    b.tree.Add(b.driveC, "Twin");
    EXPECT_TRUE(SelectTreePath(b.tree, ""));
    EXPECT_EQ(b.tree.m_selected, b.tree.Root());
    EXPECT_TRUE(SelectTreePath(b.tree, "\\My Computer\\(C:)\\Twin"));
    EXPECT_EQ(b.tree.m_selected, first);
}

TEST(FolderHistory, CommandsAndDropDownMenus) {
    EXPECT_EQ(BackStepsOfCommand(201), 0u);
    EXPECT_EQ(BackStepsOfCommand(32784), 0u);
    EXPECT_EQ(BackStepsOfCommand(32791), 7u);
    EXPECT_FALSE(BackStepsOfCommand(32792));
    EXPECT_FALSE(BackStepsOfCommand(32783));
    EXPECT_EQ(ForwardStepsOfCommand(202), 0u);
    EXPECT_EQ(ForwardStepsOfCommand(32794), 0u);
    EXPECT_EQ(ForwardStepsOfCommand(32801), 7u);
    EXPECT_FALSE(ForwardStepsOfCommand(32802));
    EXPECT_FALSE(ForwardStepsOfCommand(32791));
    EXPECT_EQ(DropDownMenuOf(201), 134u);
    EXPECT_EQ(DropDownMenuOf(202), 135u);
    EXPECT_EQ(DropDownMenuOf(209), 136u);
    EXPECT_EQ(DropDownMenuOf(203), 0u);
    EXPECT_TRUE(DropDownListsHistory(201));
    EXPECT_TRUE(DropDownListsHistory(202));
    EXPECT_FALSE(DropDownListsHistory(209));
}

} // namespace
