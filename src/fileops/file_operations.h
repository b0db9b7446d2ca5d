#pragma once
// Delete and paste through the shell's file operation, and the shell's clipboard
// protocol for files: the dropped-file list (CF_HDROP) and "Preferred DropEffect".

#include <windows.h>

#include <string>
#include <vector>

// Opens the clipboard, trying again for up to `dwPatienceMs` while another program holds
// it open (a clipboard manager, or Wine's own, takes it briefly after every change).
bool OpenClipboardWithin(HWND hOwner, DWORD dwPatienceMs);
// Reads the clipboard's file list into `files` (emptied first), every path at its full
// length. Returns 2 when the files were cut (move), 1 otherwise; 1 with no files when the
// clipboard cannot be opened or holds no list.
int ReadClipboardFiles(HWND hOwner, std::vector<std::string>& files);
// True when the clipboard holds a file list with at least one file name.
bool ClipboardHasFiles(HWND hOwner);

// The shell's file operation on `sources` (and one destination per source for a copy or
// move), with undo, the shell's own confirmations and messages. Returns true when it
// ran and was not aborted.
bool RunFileOperation(HWND hOwner, UINT wFunc, const std::vector<std::string>& sources,
                      const std::vector<std::string>* pDestinations);

// Sends the entries `names` of `folder` through the shell's delete; true when the
// operation ran and was not aborted (the list then shows the folder again).
bool DeleteEntries(HWND hOwner, const std::string& folder, const std::vector<std::string>& names);
// Copies (effect 1) or moves (effect 2) `files` into `folder`; true as above.
bool PasteFiles(HWND hOwner, const std::string& folder, const std::vector<std::string>& files,
                int nEffect);
