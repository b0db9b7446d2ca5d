#pragma once
// What the command line asks the application to do at start-up, by the framework's
// standard rules: no file name opens a new, empty document; the first plain argument
// names a document to open. Switches (starting with '/' or '-') are recognised and
// ignored: the program prints nothing and hosts no automation. Portable.

#include <string>
#include <vector>

struct CCommandLineInfo {
    enum Command { FileNew, FileOpen };

    Command m_nShellCommand = FileNew;
    std::string m_strFileName;

    // `args` without the program name.
    void Parse(const std::vector<std::string>& args);
};
