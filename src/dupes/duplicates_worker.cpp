#include "duplicates_worker.h"

#include <utility>

DuplicatesWorker::DuplicatesWorker(ReadyFn ready)
    : m_collector(
          [](Collect& request, const std::atomic<bool>* stop) {
              Collected collected;
              collected.folder = request.folder;
              collected.generation = request.generation;
              CollectDuplicateCandidates(*request.snapshot, request.top, DuplicateOptions().minSize,
                                         collected.candidates, nullptr, stop);
              return collected;
          },
          ready),
      m_reader(
          [](Read& request, const std::atomic<bool>*) {
              // The snapshot kept no links: each file opened says which file it is.
              DuplicateOptions options;
              options.bAskIdentity = true;
              const DuplicateSearch search =
                  FindDuplicates(request.collected.candidates.files, options,
                                 &request.reading->progress, &request.reading->stop);
              return Answer{
                  FoundDuplicates(request.collected.folder, request.collected.candidates, search),
                  request.collected.generation};
          },
          std::move(ready)) {}

DuplicatesWorker::~DuplicatesWorker() {
    // The reader's thread ends with it, once its reading has stopped.
    if (m_pReading)
        m_pReading->stop = true;
}

void DuplicatesWorker::Start(const FolderSnapshot* snapshot, FolderSnapshot::Index top,
                             std::string folder) {
    if (m_pReading)
        m_pReading->stop = true;
    m_pReading.reset();
    m_collector.Submit(Collect{snapshot, top, std::move(folder), ++m_nGeneration});
    m_step = Step::Collecting;
}

bool DuplicatesWorker::LetGoOfSnapshot() {
    if (m_step != Step::Collecting)
        return false;
    m_collector.Cancel();
    m_step = Step::Idle;
    return true;
}

void DuplicatesWorker::Stop() {
    if (m_step == Step::Collecting) {
        m_collector.Cancel();
        m_step = Step::Idle;
    } else if (m_step == Step::Reading) {
        m_pReading->stop = true; // its answer comes, stopped
    }
}

std::optional<FoundDuplicates> DuplicatesWorker::Poll() {
    if (std::optional<Collected> collected = m_collector.Take();
        collected && collected->generation == m_nGeneration && m_step == Step::Collecting) {
        m_pReading = std::make_shared<Reading>();
        m_reader.Submit(Read{std::move(*collected), m_pReading});
        m_step = Step::Reading;
    }
    std::optional<Answer> answer = m_reader.Take();
    if (!answer || answer->generation != m_nGeneration || m_step != Step::Reading)
        return std::nullopt;
    m_step = Step::Idle;
    return std::move(answer->found);
}

int64_t DuplicatesWorker::BytesRead() const {
    return m_pReading ? m_pReading->progress.bytesRead.load() : 0;
}

int64_t DuplicatesWorker::BytesToRead() const {
    return m_pReading ? m_pReading->progress.bytesToRead.load() : 0;
}
