#pragma once
// Lists one folder (ListFolder) on a thread of its own, so that the user-interface
// thread can keep handling its messages while a large folder is read. The thread shares
// the job with its starter: a starter that gives up on the listing simply lets go of it,
// never waits for it, and the thread frees the job when it is done.

#include <windows.h>

#include <memory>
#include <string>

#include "folder_entry.h"
#include "owners.h"

class BackgroundListing {
public:
    // Starts listing `folderPath`; null when no thread could be started.
    static std::shared_ptr<BackgroundListing> Start(const std::string& folderPath);
    BackgroundListing(const BackgroundListing&) = delete;
    BackgroundListing& operator=(const BackgroundListing&) = delete;

    // Signalled once the listing is done.
    HANDLE DoneEvent() const { return m_done.Get(); }
    // Waits (without handling messages) until the listing is done, then hands it out.
    FolderListing Take();

private:
    BackgroundListing() = default;

    UniqueKernelHandle m_done;
    FolderListing m_listing; // written by the thread before m_done is set
};
