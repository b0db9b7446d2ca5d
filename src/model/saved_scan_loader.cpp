#include "saved_scan_loader.h"

#include <chrono>
#include <cstdio>

#include "saved_scan_reader.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressEvery = std::chrono::milliseconds(100);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

uint64_t SizeOf(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    const long size = std::ftell(file);
    std::rewind(file);
    return size > 0 ? static_cast<uint64_t>(size) : 0;
}

} // namespace

SavedScanLoader::SavedScanLoader(NotifyFn notify)
    : m_notify(std::move(notify)),
      m_worker(
          [this](std::string& file, const std::atomic<bool>* stop) { return Read(file, stop); },
          [this] { m_notify(true); }) {}

void SavedScanLoader::Start(const std::string& file) {
    m_bReading = true;
    m_nRead = 0;
    m_nFileBytes = 0;
    m_worker.Submit(file);
}

void SavedScanLoader::Stop() {
    m_bReading = false;
    m_worker.Cancel();
}

std::optional<LoadedScan> SavedScanLoader::Take() {
    if (!m_bReading)
        return std::nullopt;
    std::optional<LoadedScan> loaded = m_worker.Take();
    if (loaded)
        m_bReading = false;
    return loaded;
}

LoadedScan SavedScanLoader::Read(const std::string& file, const std::atomic<bool>* stop) {
    LoadedScan loaded;
    loaded.file = file;
    const std::unique_ptr<std::FILE, FileCloser> input(std::fopen(file.c_str(), "rb"));
    if (!input) {
        loaded.error = "the file could not be opened";
        return loaded;
    }
    m_nFileBytes = SizeOf(input.get());
    Clock::time_point told = Clock::now();
    // Each piece read counts towards the progress; a read given up stops at the next piece.
    const ReadBytes read = [&](char* buffer, size_t size) -> int64_t {
        if (stop->load(std::memory_order_relaxed))
            return -1;
        const size_t got = std::fread(buffer, 1, size, input.get());
        if (got == 0 && std::ferror(input.get()))
            return -1;
        m_nRead.fetch_add(got, std::memory_order_relaxed);
        if (Clock::now() - told >= kProgressEvery) {
            told = Clock::now();
            m_notify(false);
        }
        return static_cast<int64_t>(got);
    };
    auto scan = std::make_shared<SavedScan>();
    SavedScanError error;
    if (!ReadSavedScan(read, *scan, error)) {
        loaded.error = error.Text();
        return loaded;
    }
    loaded.scan = std::move(scan);
    return loaded;
}
