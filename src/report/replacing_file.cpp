#include "replacing_file.h"

#include <cerrno>

ReplacingFile::~ReplacingFile() {
    Discard();
}

bool ReplacingFile::Fail(int nError) {
    if (m_nError == 0)
        m_nError = nError ? nError : EIO;
    return false;
}

void ReplacingFile::Discard() {
    if (m_pFile)
        std::fclose(m_pFile);
    m_pFile = nullptr;
    if (!m_tempName.empty())
        std::remove(m_tempName.c_str());
    m_tempName.clear();
}

bool ReplacingFile::Open(const std::string& fileName) {
    Discard();
    m_nError = 0;
    const replacing_file::Target target = replacing_file::Examine(fileName);
    m_fileName = target.path;
    errno = 0;
    if (!target.bReplaceable) {
        m_pFile = std::fopen(fileName.c_str(), "wb");
        return m_pFile || Fail(errno);
    }
    m_pFile = replacing_file::CreateBeside(m_fileName, m_tempName);
    if (!m_pFile)
        return Fail(errno);
    if (target.bExists && !replacing_file::KeepAttributes(m_pFile, target)) {
        const int nError = errno;
        Discard();
        return Fail(nError);
    }
    return true;
}

bool ReplacingFile::Commit() {
    if (!m_pFile)
        return Fail(m_nError);
    errno = 0;
    if (std::fflush(m_pFile) != 0 || std::ferror(m_pFile))
        Fail(errno);
    errno = 0;
    const int closed = std::fclose(m_pFile);
    m_pFile = nullptr;
    if (closed != 0)
        Fail(errno);
    if (m_nError == 0 && !m_tempName.empty()) {
        errno = 0;
        if (replacing_file::MoveOver(m_tempName, m_fileName))
            m_tempName.clear();
        else
            Fail(errno);
    }
    Discard();
    return m_nError == 0;
}
