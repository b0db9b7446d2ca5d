#include "elevated_restart.h"

#include <shellapi.h>
#include <vector>

namespace {

std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

// One argument in quotes, as the command line parser reads it back: the backslashes before
// the closing quote (a drive's root) are doubled. A folder's name holds no quote.
std::wstring QuotedArgument(const std::wstring& text) {
    size_t trailing = 0;
    while (trailing < text.size() && text[text.size() - 1 - trailing] == L'\\')
        ++trailing;
    return L"\"" + text + std::wstring(trailing, L'\\') + L"\"";
}

} // namespace

bool StartElevatedCopy(HWND hOwner, const std::string& folder) {
    std::vector<wchar_t> exe(32768);
    const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    if (n == 0 || n >= exe.size())
        return false;
    const std::wstring arguments = folder.empty() ? std::wstring() : QuotedArgument(Wide(folder));
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;
    info.hwnd = hOwner;
    info.lpVerb = L"runas";
    info.lpFile = exe.data();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}
