#include "background_listing.h"

#include <system_error>
#include <thread>
#include <utility>

#include "folder_scan.h"

std::shared_ptr<BackgroundListing> BackgroundListing::Start(const std::string& folderPath) {
    std::shared_ptr<BackgroundListing> pJob(new BackgroundListing);
    pJob->m_done.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!pJob->m_done)
        return nullptr;
    try {
        // Detached: whoever started the listing may give up on it and go, and nobody
        // waits for a folder nobody will show. The thread holds the job until it is done.
        std::thread([pJob, folderPath] {
            pJob->m_listing = ListFolder(folderPath.c_str());
            SetEvent(pJob->m_done.Get());
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    return pJob;
}

FolderListing BackgroundListing::Take() {
    WaitForSingleObject(m_done.Get(), INFINITE);
    return std::move(m_listing);
}
