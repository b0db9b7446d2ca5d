#include "browser_command.h"

#include <cstring>

bool IsSafeLinkTarget(const char* pszTarget) {
    if (!pszTarget || !*pszTarget)
        return false;
    for (const char* p = pszTarget; *p; ++p)
        if (*p == ' ' || *p == '"' || *p == '\t')
            return false;
    return true;
}

bool BuildBrowserCommandLine(const char* pszRegistered, const char* pszTarget, char* out,
                             size_t outSize) {
    if (!out || outSize == 0)
        return false;
    out[0] = '\0';
    if (!pszRegistered || !pszTarget)
        return false;
    size_t nKeep = std::strlen(pszRegistered);
    if (const char* quoted = std::strstr(pszRegistered, "\"%1\""))
        nKeep = static_cast<size_t>(quoted - pszRegistered);
    else if (const char* bare = std::strstr(pszRegistered, "%1"))
        nKeep = static_cast<size_t>(bare - pszRegistered);
    const size_t nTarget = std::strlen(pszTarget);
    if (nKeep + 1 + nTarget + 1 > outSize)
        return false;
    std::memcpy(out, pszRegistered, nKeep);
    out[nKeep] = ' ';
    std::memcpy(out + nKeep + 1, pszTarget, nTarget);
    out[nKeep + 1 + nTarget] = '\0';
    return true;
}
