#pragma once
// Which file an open file is, for telling two names of one file (hard links) from two
// copies: its device (volume) and number there, and how many names it has. One backend
// per platform; asks the open file, never its path again.

#include <cstdint>
#include <cstdio>

struct OpenFileIdentity {
    uint64_t device = 0;
    uint64_t fileId = 0;
    uint32_t links = 1;
};

// False when the system does not tell.
bool IdentityOfOpenFile(std::FILE* file, OpenFileIdentity& identity);
