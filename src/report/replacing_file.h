#pragma once
// An output file that appears whole or not at all. A regular file (or a name not taken yet)
// is written as a new file beside it and renamed into place only once everything is written
// and closed: a failure leaves the file that was there as it was, and no partial one. The
// replacement keeps the old file's permissions. Anything else with that name (a device such
// as /dev/null, a FIFO) is written directly.

#include <cstdio>
#include <string>

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile(); // a file never committed is removed again
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Opens for writing in binary mode. False, with Error(), when it cannot be.
    bool Open(const std::string& fileName);
    std::FILE* Stream() const { return m_pFile; }
    // Closes the file and puts it in place. False, with Error(), when a write, the close or
    // the renaming failed (a stream error counts too): then nothing has changed at the name.
    bool Commit();
    // Why the file could not be opened or committed, as an errno value; 0 while all is well.
    int Error() const { return m_nError; }
    // Gives up: the file written so far is removed, nothing changes at the name.
    void Discard();

private:
    bool Fail(int nError);

    std::string m_fileName; // where the file goes
    std::string m_tempName; // what is written meanwhile; empty when written directly
    std::FILE* m_pFile = nullptr;
    int m_nError = 0;
};

// What the platform does for a ReplacingFile, one backend file per system.
namespace replacing_file {

// How the name is taken now.
struct Target {
    bool bReplaceable = true; // missing, or a regular file (through any symbolic links)
    std::string path;         // where the new file goes: the link's target for a link
    bool bExists = false;
    // An existing file's permissions and owner (POSIX).
    unsigned mode = 0;
    unsigned owner = 0;
    unsigned group = 0;
};
Target Examine(const std::string& fileName);

// A new file of its own in the same folder as `path`, for writing; its name in `tempName`.
// Null, with errno, when none can be made.
std::FILE* CreateBeside(const std::string& path, std::string& tempName);

// Gives the open file `file` the existing file's permissions, and its owner where the process
// may; false with errno when the permissions cannot be set.
bool KeepAttributes(std::FILE* file, const Target& target);

// Puts `tempName` in the place of `path` in one step. False with errno.
bool MoveOver(const std::string& tempName, const std::string& path);

} // namespace replacing_file
