#pragma once
// The command line that starts the registered web browser on an address, when the
// shell itself cannot open it.

#include <cstddef>

// The size of the buffer the line is assembled in, terminator included.
constexpr size_t kBrowserCommandSize = 520;

// An address that may go on the line: not empty, and no blank or quotation mark that
// could end it and add arguments of its own.
bool IsSafeLinkTarget(const char* pszTarget);

// The registered command with its placeholder replaced: cut at a quoted "%1" (at its
// opening quotation mark), else at a bare %1, else keep the whole line; then a blank
// and the target. False, with `out` empty, when the result would not fit `outSize`
// bytes: a cut line would run something else.
bool BuildBrowserCommandLine(const char* pszRegistered, const char* pszTarget, char* out,
                             size_t outSize);
