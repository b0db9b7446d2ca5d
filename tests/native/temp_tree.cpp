#include "temp_tree.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

TempTree::TempTree() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path root = fs::temp_directory_path() /
                          ("dscp-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(root);
    m_strRoot = TrimTrailingSeparators(root.u8string());
}

TempTree::~TempTree() {
    std::error_code ignored;
    const fs::path root = fs::u8path(m_strRoot);
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root, ignored);
}

std::string TempTree::Path(const std::string& relative) const {
    std::string native = relative;
    for (char& c : native)
        if (c == '/')
            c = kPathSeparator;
    return JoinPath(m_strRoot, native.c_str());
}

// Paths are UTF-8, as the programs' code page is: a plain narrow string would be taken in
// another code page by the Windows runtime's file system library.
void TempTree::Folder(const std::string& relative) const {
    fs::create_directories(fs::u8path(Path(relative)));
}

void TempTree::File(const std::string& relative, size_t bytes) const {
    const fs::path path = fs::u8path(Path(relative));
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw std::runtime_error("cannot create " + Path(relative));
    out << std::string(bytes, 'x');
}

void TempTree::SparseFile(const std::string& relative, uint64_t bytes) const {
    const std::string path = Path(relative);
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    DWORD unused = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(bytes);
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
#else
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    const bool ok = fd >= 0 && ftruncate(fd, static_cast<off_t>(bytes)) == 0;
    if (fd >= 0)
        close(fd);
#endif
    if (!ok)
        throw std::runtime_error("cannot size " + path);
}

void TempTree::SetModified(const std::string& relative, int64_t seconds) const {
    const std::string path = Path(relative);
#ifdef _WIN32
    // FILETIME counts 100 ns intervals since 1601-01-01.
    const uint64_t ticks = (static_cast<uint64_t>(seconds) + UINT64_C(11644473600)) * 10000000u;
    FILETIME time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool ok = file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &time);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
#else
    const struct timespec times[2] = {{static_cast<time_t>(seconds), 0},
                                      {static_cast<time_t>(seconds), 0}};
    const bool ok = utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
#endif
    if (!ok)
        throw std::runtime_error("cannot set the time of " + path);
}

// A random tree under `top` whose totals the generator knows: folders of random
// width and depth, files of random sizes, and (on POSIX) links, which count as
// files of their own size.
FolderTotals MakeRandomTree(const TempTree& tree, const std::string& top, std::mt19937& rng) {
    FolderTotals expected;
    std::vector<std::string> folders = {top};
    tree.Folder(top);
    const int folderCount = std::uniform_int_distribution<int>(0, 60)(rng);
    for (int i = 0; i < folderCount; ++i) {
        const std::string parent = folders[std::uniform_int_distribution<size_t>(
            folders.size() > 8 ? folders.size() - 8 : 0, folders.size() - 1)(rng)];
        folders.push_back(parent + "/d" + std::to_string(i));
        tree.Folder(folders.back());
    }
    expected.nFolders = folderCount;
    const int fileCount = std::uniform_int_distribution<int>(0, 150)(rng);
    for (int i = 0; i < fileCount; ++i) {
        const std::string& folder =
            folders[std::uniform_int_distribution<size_t>(0, folders.size() - 1)(rng)];
        const size_t size = std::uniform_int_distribution<size_t>(0, 3000)(rng);
        tree.File(folder + "/f" + std::to_string(i), size);
        expected.nSize += static_cast<int64_t>(size);
        ++expected.nFiles;
    }
#ifndef _WIN32
    const std::string target = tree.Path(folders[0]);
    for (int i = 0; i < 3; ++i) {
        const std::string& folder =
            folders[std::uniform_int_distribution<size_t>(0, folders.size() - 1)(rng)];
        std::filesystem::create_directory_symlink(target,
                                                  tree.Path(folder + "/link" + std::to_string(i)));
        expected.nSize += static_cast<int64_t>(target.size());
        ++expected.nFiles;
    }
#endif
#ifndef _WIN32
    // A folder that cannot be read counts as one folder holding nothing.
    const std::string locked = top + "/locked";
    tree.File(locked + "/unseen", 1000);
    std::filesystem::permissions(tree.Path(locked), std::filesystem::perms::none);
    ++expected.nFolders;
#endif
    return expected;
}

#ifndef _WIN32
namespace {
__user_cap_header_struct CapHeader() {
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    return header;
}
} // namespace

WithoutPermissionOverride::WithoutPermissionOverride() {
    if (geteuid() != 0)
        return;
    __user_cap_header_struct header = CapHeader();
    __user_cap_data_struct data[2];
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    static_assert(sizeof data == sizeof m_saved, "two sets of three words");
    std::memcpy(m_saved, data, sizeof data);
    data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    m_bDropped = syscall(SYS_capset, &header, data) == 0;
}

WithoutPermissionOverride::~WithoutPermissionOverride() {
    if (!m_bDropped)
        return;
    __user_cap_header_struct header = CapHeader();
    __user_cap_data_struct data[2];
    std::memcpy(data, m_saved, sizeof data);
    syscall(SYS_capset, &header, data);
}

bool WithoutPermissionOverride::Works() const {
    return geteuid() != 0 || m_bDropped;
}

int ThreadCount() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Threads:", 0) == 0)
            return std::stoi(line.substr(8));
    return -1;
}
#endif
