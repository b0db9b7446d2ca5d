#include "background_listing.h"

#include <system_error>
#include <thread>
#include <utility>

#include "folder_scan.h"

std::shared_ptr<BackgroundListing> BackgroundListing::Start(const std::string& folderPath) {
    std::shared_ptr<BackgroundListing> pJob(new BackgroundListing);
    pJob->m_hDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!pJob->m_hDone)
        return nullptr;
    try {
        // Detached: whoever started the listing may give up on it and go, and nobody
        // waits for a folder nobody will show. The thread holds the job until it is done.
        std::thread([pJob, folderPath] {
            pJob->m_listing = ListFolder(folderPath.c_str());
            SetEvent(pJob->m_hDone);
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    return pJob;
}

BackgroundListing::~BackgroundListing() {
    if (m_hDone)
        CloseHandle(m_hDone);
}

FolderListing BackgroundListing::Take() {
    WaitForSingleObject(m_hDone, INFINITE);
    return std::move(m_listing);
}
