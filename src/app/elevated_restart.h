#pragma once
// The program started again as an administrator, who may read a drive's file table.

#include <string>
#include <windows.h>

// Starts this program's executable elevated (the system asks the user first), showing
// `folder` (UTF-8; empty: the drive overview). True when the new one started; false when
// the user refused or it could not start, the system having said so in its own way.
bool StartElevatedCopy(HWND hOwner, const std::string& folder);
