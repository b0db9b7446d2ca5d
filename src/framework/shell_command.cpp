#include "shell_command.h"

void CCommandLineInfo::Parse(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg.empty() || arg[0] == '/' || arg[0] == '-')
            continue;
        if (m_strFileName.empty()) {
            m_strFileName = arg;
            m_nShellCommand = FileOpen;
        }
    }
}
