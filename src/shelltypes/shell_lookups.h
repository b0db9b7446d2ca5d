#pragma once
// CShellLookups: the shell's type names and icons of a list's files, asked on a thread of
// its own. Under Wine one answer can take tens of milliseconds, hundreds on a busy machine
// (the first file of an extension reads the registry and the file), far too long for the
// window's thread: a cell whose answer is not known yet is drawn without it, and the list
// is told by one posted message when answers wait, to take them and draw again.
//
// Files of one extension share their answers (CShellFileTypes), unless the extension's
// files may carry icons of their own; those are asked one by one. Everything but the
// thread's own loop runs on the window's thread.

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CShellLookups {
public:
    // The path of a file, made only when the shell must be asked.
    using PathFn = std::function<std::string()>;

    CShellLookups() = default;
    ~CShellLookups();
    CShellLookups(const CShellLookups&) = delete;
    CShellLookups& operator=(const CShellLookups&) = delete;

    // Answers are announced by posting `message` to `hWnd`; the thread starts.
    void Start(HWND hWnd, UINT message);
    // The thread stops (after the answer it is asking, if any); nothing is posted again.
    void Stop();

    // The type name of the file `name` (the list's row `key`), or null until the shell has
    // answered; asks it then.
    const std::string* TypeNameOf(uint64_t key, const std::string& name, const PathFn& path);
    // The file's small icon in the system image list, or -1 until the shell has answered.
    int IconOf(uint64_t key, const std::string& name, const PathFn& path);
    // The type name of files with the extension `ext` ("mp4"; "" for none), asked by a
    // name alone, or null until the shell has answered.
    const std::string* ExtensionTypeNameOf(const std::string& ext);

    // On the posted message: the answers that wait are taken in. False when none did.
    bool TakeAnswers();
    // Every question asked has been answered.
    bool IsIdle() const { return m_askedExtensions.empty() && m_askedFiles.empty(); }
    // Every answer and question goes (another folder; the registry may have changed).
    void Forget();

private:
    struct Known {
        std::string typeName;
        int nIcon = 0;
        bool bOwnIcons = false; // each file's icon may be its own: asked by its path
    };
    struct Question {
        uint64_t key = 0;
        std::string extension; // the shell's key: from the last dot, in lower case
        std::string path;      // empty: the type of the extension `name` ("mp4") is asked
        std::string name;
        bool bOwnIcon = false; // the file's own icon is asked
        unsigned generation = 0;
    };
    struct Answer {
        Question question;
        Known known;
    };

    const Known* KnownFor(uint64_t key, const std::string& name, const PathFn& path);
    void Ask(Question question);
    void Run();

    // The window's thread's side.
    std::unordered_map<std::string, Known> m_extensions;
    std::unordered_map<uint64_t, int> m_fileIcons; // files of extensions with icons of their own
    std::unordered_set<std::string> m_askedExtensions;
    std::unordered_set<uint64_t> m_askedFiles;
    unsigned m_generation = 0;

    // Shared with the thread.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Question> m_questions;
    std::vector<Answer> m_answers;
    bool m_bStopping = false;
    HWND m_hWnd = nullptr;
    UINT m_nMessage = 0;
    std::thread m_thread;
};
