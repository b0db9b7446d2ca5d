#pragma once
// A search for duplicates off the owner's thread, in two steps on two threads: the candidates
// are collected from the snapshot (lent for that step only, which is short), then their
// files are read (which may take minutes, and reads nothing of the snapshot any more, so the
// snapshot may change meanwhile). The owner is told through ReadyFn, on a worker's thread,
// when a step has something for it, and calls Poll on its own thread.
//
// A newer Start wins: what an older one collected or found is never handed out.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "found_duplicates.h"
#include "newest_wins_worker.h"

class DuplicatesWorker {
public:
    using ReadyFn = std::function<void()>; // must not wait for the owner's thread

    explicit DuplicatesWorker(ReadyFn ready);
    ~DuplicatesWorker();
    DuplicatesWorker(const DuplicatesWorker&) = delete;
    DuplicatesWorker& operator=(const DuplicatesWorker&) = delete;

    // Searches beneath `top` of `snapshot`, the folder at `folder`.
    void Start(const FolderSnapshot* snapshot, FolderSnapshot::Index top, std::string folder);
    // The snapshot is about to change: returns once it is read no more. True when the search
    // was still collecting (it is given up: the owner starts it again once it may).
    bool LetGoOfSnapshot();
    // Collecting ends with nothing; reading ends with what it is sure of, as a stopped answer.
    void Stop();
    // Moves collected candidates on to reading; the answer once it is there.
    std::optional<FoundDuplicates> Poll();

    enum class Step { Idle, Collecting, Reading };
    Step CurrentStep() const { return m_step; }
    // Of the reading: the bytes read and those it knows it must read so far.
    int64_t BytesRead() const;
    int64_t BytesToRead() const;

private:
    struct Collect {
        const FolderSnapshot* snapshot = nullptr;
        FolderSnapshot::Index top = FolderSnapshot::kNone;
        std::string folder;
        unsigned generation = 0;
    };
    struct Collected {
        SnapshotCandidates candidates;
        std::string folder;
        unsigned generation = 0;
    };
    // What the owner watches and stops of one reading.
    struct Reading {
        DuplicateProgress progress;
        std::atomic<bool> stop{false};
    };
    struct Read {
        Collected collected;
        std::shared_ptr<Reading> reading;
    };
    struct Answer {
        FoundDuplicates found;
        unsigned generation = 0;
    };

    unsigned m_nGeneration = 0;
    Step m_step = Step::Idle;
    std::shared_ptr<Reading> m_pReading; // of the newest reading
    NewestWinsWorker<Collect, Collected> m_collector;
    // The reading looks only at its own stop flag, which is raised before anything replaces
    // or ends it: an answer stopped by the owner is still handed out.
    NewestWinsWorker<Read, Answer> m_reader;
};
