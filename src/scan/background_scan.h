#pragma once
// Totals the subfolders of the shown folder on a thread of its own, and hands each
// subfolder's totals out as soon as they are final, in whatever order the subfolders finish;
// later subfolders may be totalled ahead of earlier ones, in parallel.
//
// The callbacks run on the scan thread. They must not wait for the thread that calls
// Stop() (post a message rather than send one): Stop() waits for the scan thread.
//
// Asked to, the scan also records what it walks (folder_snapshot.h): the scan thread builds a
// snapshot of its own, and TakeSnapshot hands it to the owner once the scan has ended
// (finished or stopped), to be merged into the owner's snapshot on the owner's thread. While
// the scan runs, the owner (and threads it lends them to) may read what is final of it so far
// and nothing else (Recording): the folder's own level, and the tree of each subfolder whose
// totals were handed out, which the scan never writes again.
//
// Given a whole-tree source (whole_tree_source.h), the scan first asks it for the folder's
// whole tree, in a snapshot of its own under the recording's cap, and then hands out each
// subfolder in the level's order: its tree grafted into the recording under the node the
// level gave it, then its totals. The two snapshots together stay within twice that cap,
// which the owner sized as its room for one scan. Whatever the source cannot give, or a
// tree that lacks a listed subfolder, is walked as before; how it went is told by Method().

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "folder_snapshot.h"
#include "tree_totals.h"
#include "whole_tree_source.h"

// What the scan is to record besides the totals.
struct ScanRecording {
    bool bRecord = false; // false: the scan keeps nothing beyond the totals it hands out
    // The folder whose subfolders are scanned and its own level as the caller listed it
    // (its files and its subfolders, the scanned ones among them): recorded first, so
    // the snapshot holds the folder itself as read, final once every subfolder is.
    // Empty: the subfolders are recorded under a placeholder.
    std::string folderPath;
    SnapshotLevel level;
    // What the scan's snapshot may take: the owner's cap less what its own snapshot holds.
    uint64_t nMemoryCap = FolderSnapshot::kDefaultMemoryCap;
    // The folders and files the owner already holds beneath the folder (0: not known).
    uint64_t nKnownEntries = 0;
};

// How the scan finds its totals: published by its thread as it goes.
struct ScanMethod {
    enum class Way {
        Walk,         // folder by folder
        ReadingWhole, // asking the whole-tree source
        WholeRead,    // every subfolder came from the source's tree
    };
    Way way = Way::Walk;
    // While walking: what the source said (NotHere: nothing to tell), and why for Failed.
    WholeTreeSource::Outcome outcome = WholeTreeSource::Outcome::NotHere;
    std::string why;
};

class BackgroundScan {
public:
    // Subfolder `index` (its position in the list given to Start) is totalled.
    using RowReadyFn = std::function<void(size_t index, const FolderTotals& totals)>;
    // Every subfolder is totalled: the exact sum of their bytes. Not called when stopped.
    using FinishedFn = std::function<void(int64_t subfolderBytes)>;

    BackgroundScan() = default;
    ~BackgroundScan() { Stop(); }
    BackgroundScan(const BackgroundScan&) = delete;
    BackgroundScan& operator=(const BackgroundScan&) = delete;

    // Stops a running scan, then starts one over `subfolders` (full paths; a row's index is
    // its position here). What an earlier scan recorded and was not taken is dropped. False
    // when no thread could be started.
    bool Start(std::vector<std::string> subfolders, RowReadyFn onRowReady, FinishedFn onFinished,
               unsigned threads = 0, ScanRecording recording = ScanRecording());

    // Raises the stop flag and waits for the scan thread: no callback runs after this.
    // Every walking thread honours the flag between entries, so this takes milliseconds.
    void Stop();

    // Stops the scan if it still runs (as Stop does), then hands over what it recorded:
    // every subfolder that finished is final in it, one that was stopped is not (see
    // folder_snapshot.h). Empty when nothing was recorded or it was taken already.
    FolderSnapshot TakeSnapshot();

    // Where every later scan first looks for the whole tree (null: it walks). Only while no
    // scan runs.
    void SetWholeTreeSource(std::shared_ptr<WholeTreeSource> source) {
        m_source = std::move(source);
    }
    // How the running or last scan went; reset by Start.
    ScanMethod Method() const;

    // True from Start until the scan has handed out its last result or was stopped.
    bool IsRunning() const { return m_bRunning.load(); }

    // What the running scan has recorded: only the recorded folder's own level and the trees
    // of the subfolders whose totals were handed out may be read, and only until the snapshot
    // is taken or the next scan starts. The level is there from Start.
    const FolderSnapshot& Recording() const { return m_snapshot; }
    // The recorded folder in it, and subfolder `index`'s tree (kNone: not recorded).
    FolderSnapshot::Index RecordedFolder() const { return m_folderNode; }
    FolderSnapshot::Index RecordedSubfolder(size_t index) const {
        return index < m_subfolderNodes.size() ? m_subfolderNodes[index] : FolderSnapshot::kNone;
    }

private:
    // `recording`: as Start was given it, its level taken out already.
    void Run(std::vector<std::string> subfolders, RowReadyFn onRowReady, FinishedFn onFinished,
             unsigned threads, ScanRecording recording);
    // Asks the source for the folder's tree and, when it has every subfolder, hands them out
    // from it; false (the method saying why) when they are to be walked.
    bool TakeWholeTree(const ScanRecording& recording, const std::vector<std::string>& subfolders,
                       const RowReadyFn& onRowReady, const FinishedFn& onFinished);
    void SetMethod(ScanMethod method);
    // Where each subfolder's tree goes in the recording: the nodes its folder's level made.
    void NoteSubfolderNodes(const std::vector<std::string>& subfolders);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_bRunning{false};
    // Written by the scan thread; read by the owner after joining it, or meanwhile what is
    // final (see Recording). Where the recorded folder and its subfolders are in it: set at
    // Start, before the thread.
    FolderSnapshot m_snapshot;
    FolderSnapshot::Index m_folderNode = FolderSnapshot::kNone;
    std::vector<FolderSnapshot::Index> m_subfolderNodes;
    std::shared_ptr<WholeTreeSource> m_source;
    mutable std::mutex m_methodLock;
    ScanMethod m_method;
};
