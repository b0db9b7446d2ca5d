// Directory enumeration through the C runtime's find functions, in their 64-bit
// form so that sizes above 4 GiB and dates after 2038 come through whole.
#include "dir_enum.h"

#include <io.h>
#include <windows.h>

struct DirEnumerator::Impl {
    intptr_t hFind = -1;
    bool bHavePending = false;  // the entry _findfirst64 delivered has not been handed out yet
    __finddata64_t data;
};

DirEnumerator::DirEnumerator(const std::string& folderPath) : m_pImpl(new Impl) {
    if (folderPath.empty())
        return;
    std::string pattern = folderPath;
    if (pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += "*.*";
    m_pImpl->hFind = _findfirst64(pattern.c_str(), &m_pImpl->data);
    m_pImpl->bHavePending = m_pImpl->hFind != -1;
}

DirEnumerator::~DirEnumerator() {
    if (m_pImpl->hFind != -1)
        _findclose(m_pImpl->hFind);
}

bool DirEnumerator::IsOpen() const { return m_pImpl->hFind != -1; }

bool DirEnumerator::Next(DirItem& item) {
    Impl& d = *m_pImpl;
    if (d.hFind == -1)
        return false;
    if (!d.bHavePending && _findnext64(d.hFind, &d.data) != 0)
        return false;
    d.bHavePending = false;
    item.name = d.data.name;
    item.bFolder = (d.data.attrib & _A_SUBDIR) != 0;
    item.bReparsePoint = (d.data.attrib & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    item.nSize = item.bFolder ? 0 : static_cast<uint64_t>(d.data.size);
    item.tModified = static_cast<int64_t>(d.data.time_write);
    return true;
}
