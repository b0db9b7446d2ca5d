#pragma once
// Which file an open file is, for telling two names of one file (hard links) from two
// copies: how many names it has and, where that is more than one, its device (volume) and
// number there. One backend per platform; asks the open file, never its path again.

#include <cstdint>
#include <cstdio>

struct OpenFileIdentity {
    uint32_t links = 1;
    uint64_t device = 0; // with more than one name (may be left 0 otherwise)
    uint64_t fileId = 0;
};

// False when the system does not tell.
bool IdentityOfOpenFile(std::FILE* file, OpenFileIdentity& identity);
