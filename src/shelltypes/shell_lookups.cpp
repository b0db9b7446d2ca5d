#include "shell_lookups.h"

#include <objbase.h>

#include <utility>

#include "shell_file_types.h"

CShellLookups::~CShellLookups() {
    Stop();
}

void CShellLookups::Start(HWND hWnd, UINT message) {
    Stop();
    m_hWnd = hWnd;
    m_nMessage = message;
    m_bStopping = false;
    m_thread = std::thread([this] { Run(); });
}

void CShellLookups::Stop() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStopping = true;
        m_questions.clear();
    }
    m_wake.notify_one();
    m_thread.join();
}

void CShellLookups::Ask(Question question) {
    question.generation = m_generation;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_questions.push_back(std::move(question));
    }
    m_wake.notify_one();
}

const CShellLookups::Known* CShellLookups::KnownFor(uint64_t key, const std::string& name,
                                                    const PathFn& path) {
    std::string extension = CShellFileTypes::ExtensionKey(name);
    const auto found = m_extensions.find(extension);
    if (found != m_extensions.end())
        return &found->second;
    if (m_askedExtensions.insert(extension).second)
        Ask(Question{key, std::move(extension), path(), name, false, 0});
    return nullptr;
}

const std::string* CShellLookups::TypeNameOf(uint64_t key, const std::string& name,
                                             const PathFn& path) {
    const Known* pKnown = KnownFor(key, name, path);
    return pKnown ? &pKnown->typeName : nullptr;
}

int CShellLookups::IconOf(uint64_t key, const std::string& name, const PathFn& path) {
    const Known* pKnown = KnownFor(key, name, path);
    if (!pKnown)
        return -1;
    if (!pKnown->bOwnIcons)
        return pKnown->nIcon;
    const auto found = m_fileIcons.find(key);
    if (found != m_fileIcons.end())
        return found->second;
    if (m_askedFiles.insert(key).second)
        Ask(Question{key, CShellFileTypes::ExtensionKey(name), path(), name, true, 0});
    return -1;
}

const std::string* CShellLookups::ExtensionTypeNameOf(const std::string& ext) {
    std::string extension = CShellFileTypes::ExtensionKey(ext.empty() ? "file" : "file." + ext);
    const auto found = m_extensions.find(extension);
    if (found != m_extensions.end())
        return &found->second.typeName;
    if (m_askedExtensions.insert(extension).second)
        Ask(Question{0, std::move(extension), std::string(), ext, false, 0});
    return nullptr;
}

bool CShellLookups::TakeAnswers() {
    std::vector<Answer> answers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        answers.swap(m_answers);
    }
    bool bTaken = false;
    for (Answer& answer : answers) {
        const Question& question = answer.question;
        if (question.generation != m_generation)
            continue; // asked before everything was forgotten
        bTaken = true;
        if (question.bOwnIcon) {
            m_fileIcons[question.key] = answer.known.nIcon;
            m_askedFiles.erase(question.key);
            continue;
        }
        // The first file of an extension whose files have icons of their own was asked by
        // its path: its icon is its own.
        if (answer.known.bOwnIcons && !question.path.empty())
            m_fileIcons[question.key] = answer.known.nIcon;
        m_askedExtensions.erase(question.extension);
        m_extensions[question.extension] = std::move(answer.known);
    }
    return bTaken;
}

void CShellLookups::Forget() {
    ++m_generation;
    m_extensions.clear();
    m_fileIcons.clear();
    m_askedExtensions.clear();
    m_askedFiles.clear();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_questions.clear();
}

void CShellLookups::Run() {
    // The shell wants COM on every thread that asks it.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CShellFileTypes fileTypes;
    unsigned generation = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bStopping || !m_questions.empty(); });
        if (m_bStopping)
            break;
        Question question = std::move(m_questions.front());
        m_questions.pop_front();
        lock.unlock();
        if (question.generation != generation) {
            fileTypes.Clear(); // the list forgot every answer: so does the thread
            generation = question.generation;
        }
        Answer answer{std::move(question), Known{}};
        const Question& asked = answer.question;
        if (asked.path.empty()) {
            answer.known.typeName = fileTypes.ExtensionTypeName(asked.name);
        } else {
            const SHFILEINFOA info = fileTypes.FileInfo(asked.path, asked.name);
            answer.known.nIcon = info.iIcon;
            answer.known.typeName = fileTypes.FileTypeName(asked.path, asked.name);
            answer.known.bOwnIcons = !fileTypes.KnowsInfoOf(asked.name);
        }
        lock.lock();
        const bool bFirst = m_answers.empty();
        m_answers.push_back(std::move(answer));
        if (bFirst)
            ::PostMessageA(m_hWnd, m_nMessage, 0, 0);
    }
    lock.unlock();
    if (SUCCEEDED(hrCom))
        ::CoUninitialize();
}
