#include "duplicate_finder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

#include "content_hash.h"
#include "open_file_identity.h"

namespace {

constexpr size_t kHeadBytes = 4096;
// Files of one group compared in step at most: each holds a buffer and an open file.
constexpr size_t kMostInStep = 32;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

OpenFile Open(const std::string& path) {
    OpenFile file(std::fopen(path.c_str(), "rb"));
    if (file)
        std::setvbuf(file.get(), nullptr, _IONBF, 0); // the pieces are large already
    return file;
}

class Search {
public:
    Search(const std::vector<DuplicateCandidate>& files, const DuplicateOptions& options,
           DuplicateProgress* progress, const std::atomic<bool>* stop)
        : m_files(files), m_options(options), m_pProgress(progress), m_pStop(stop) {}

    DuplicateSearch Run();

private:
    using Group = std::vector<size_t>;

    bool Stopping() {
        if (m_pStop && m_pStop->load(std::memory_order_relaxed))
            m_result.bStopped = true;
        return m_result.bStopped;
    }
    void Counted(int64_t bytes) {
        m_result.bytesRead += bytes;
        if (m_pProgress)
            m_pProgress->bytesRead.fetch_add(bytes, std::memory_order_relaxed);
    }
    void ToRead(int64_t bytes) {
        if (m_pProgress)
            m_pProgress->bytesToRead.fetch_add(bytes, std::memory_order_relaxed);
    }
    void Unreadable(size_t file) { m_result.unreadable.push_back(file); }
    void Found(const Group& group) {
        if (group.size() >= 2)
            m_result.groups.push_back({m_files[group.front()].size, group});
    }

    // Which file a candidate is, where known: its device and number, else {0, 0}.
    std::pair<uint64_t, uint64_t> IdentityOf(size_t file) const {
        const DuplicateCandidate& candidate = m_files[file];
        if (candidate.fileId != 0)
            return {candidate.device, candidate.fileId};
        const auto learned = m_learned.find(file);
        return learned == m_learned.end() ? std::make_pair(uint64_t{0}, uint64_t{0})
                                          : learned->second;
    }
    // The group with one name of each file: its first by path (the group is in path order).
    Group OneNamePerFile(const Group& group) const;
    // Splits a group of one size by the files' first bytes (the whole of a small file).
    void ByHead(const Group& group);
    // Splits a group of equal heads by the whole of the files' bytes.
    void ByContent(const Group& group);
    // Splits a group by a hash of every byte (too many to compare in step).
    void ByWholeHash(const Group& group);
    // Compares at most kMostInStep files in step, a piece at a time: the classes of files
    // with the same bytes (one file's class too), each by path.
    std::vector<Group> InStep(const Group& group);
    void FoundAll(const std::vector<Group>& classes) {
        for (const Group& same : classes)
            Found(same);
    }

    const std::vector<DuplicateCandidate>& m_files;
    const DuplicateOptions m_options;
    DuplicateProgress* m_pProgress;
    const std::atomic<bool>* m_pStop;
    DuplicateSearch m_result;
    // What the open files said of themselves, where their candidates did not say.
    std::unordered_map<size_t, std::pair<uint64_t, uint64_t>> m_learned;
};

Search::Group Search::OneNamePerFile(const Group& group) const {
    Group names;
    std::vector<std::pair<uint64_t, uint64_t>> seen;
    for (size_t file : group) {
        const auto identity = IdentityOf(file);
        if (identity.second != 0) {
            if (std::find(seen.begin(), seen.end(), identity) != seen.end())
                continue;
            seen.push_back(identity);
        }
        names.push_back(file);
    }
    return names;
}

DuplicateSearch Search::Run() {
    // Sizes first: a size only one file has needs no reading.
    Group order;
    for (size_t i = 0; i < m_files.size(); ++i)
        if (m_files[i].size >= std::max<int64_t>(1, m_options.minSize))
            order.push_back(i);
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        return m_files[a].size != m_files[b].size ? m_files[a].size > m_files[b].size
                                                  : m_files[a].path < m_files[b].path;
    });
    std::vector<Group> bySize;
    for (size_t i = 0; i < order.size();) {
        size_t end = i + 1;
        while (end < order.size() && m_files[order[end]].size == m_files[order[i]].size)
            ++end;
        // The names of one file are one candidate: its first by path.
        Group group = OneNamePerFile(Group(order.begin() + static_cast<std::ptrdiff_t>(i),
                                           order.begin() + static_cast<std::ptrdiff_t>(end)));
        if (group.size() >= 2) {
            ToRead(static_cast<int64_t>(group.size()) *
                   std::min<int64_t>(m_files[group.front()].size, kHeadBytes));
            bySize.push_back(std::move(group));
        }
        i = end;
    }
    for (const Group& group : bySize) {
        if (Stopping())
            break;
        ByHead(group);
    }
    std::sort(m_result.groups.begin(), m_result.groups.end(),
              [this](const DuplicateGroup& a, const DuplicateGroup& b) {
                  if (a.Waste() != b.Waste())
                      return a.Waste() > b.Waste();
                  if (a.size != b.size)
                      return a.size > b.size;
                  return m_files[a.files.front()].path < m_files[b.files.front()].path;
              });
    std::sort(m_result.unreadable.begin(), m_result.unreadable.end());
    return std::move(m_result);
}

void Search::ByHead(const Group& group) {
    const int64_t size = m_files[group.front()].size;
    const size_t nHead = static_cast<size_t>(std::min<int64_t>(size, kHeadBytes));
    // A small file's head is all of it: kept and compared as it is, never read again.
    std::map<std::string, Group> byBytes;
    std::unordered_map<uint64_t, Group> byHash;
    std::string head(nHead, '\0');
    for (size_t file : group) {
        if (Stopping())
            return;
        OpenFile in = Open(m_files[file].path);
        const size_t nRead = in ? std::fread(&head[0], 1, nHead, in.get()) : 0;
        Counted(static_cast<int64_t>(nRead));
        // Shorter than the scan found, or longer where the head is the whole: changed.
        if (!in || nRead != nHead ||
            (nHead == static_cast<size_t>(size) && std::fgetc(in.get()) != EOF)) {
            Unreadable(file);
            continue;
        }
        OpenFileIdentity identity;
        if (m_options.bAskIdentity && m_files[file].fileId == 0 &&
            IdentityOfOpenFile(in.get(), identity) && identity.links > 1)
            m_learned[file] = {identity.device, identity.fileId};
        if (nHead == static_cast<size_t>(size))
            byBytes[head].push_back(file);
        else
            byHash[HashBytes(head.data(), head.size())].push_back(file);
    }
    // Names of one file learned only now meet here, their bytes being the same.
    for (const auto& [bytes, same] : byBytes)
        Found(OneNamePerFile(same));
    for (auto& [hash, same] : byHash) {
        const Group files = OneNamePerFile(same);
        if (files.size() >= 2 && !Stopping()) {
            ToRead(static_cast<int64_t>(files.size()) * size);
            ByContent(files);
        }
    }
}

void Search::ByContent(const Group& group) {
    if (group.size() <= kMostInStep)
        FoundAll(InStep(group));
    else
        ByWholeHash(group);
}

void Search::ByWholeHash(const Group& group) {
    // More copies than can be held open at once: each is hashed whole, then each hash's
    // files are compared in step (read again: a price paid only for so many copies).
    std::unordered_map<uint64_t, Group> byHash;
    std::vector<char> buffer(m_options.chunkBytes);
    for (size_t file : group) {
        if (Stopping())
            return;
        OpenFile in = Open(m_files[file].path);
        ContentHash hash;
        int64_t total = 0;
        size_t nRead = 0;
        while (in && (nRead = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0) {
            hash.Add(buffer.data(), nRead);
            total += static_cast<int64_t>(nRead);
            Counted(static_cast<int64_t>(nRead));
        }
        if (!in || std::ferror(in.get()) || total != m_files[file].size) {
            Unreadable(file);
            continue;
        }
        byHash[hash.Value()].push_back(file);
    }
    // Each hash's files are compared in step with the first of them, as many at a time as
    // may be; the files that differ from it meet again, with another first.
    for (auto& [hash, same] : byHash) {
        Group left = same;
        while (left.size() >= 2 && !Stopping()) {
            const size_t first = left.front();
            Group copies{first}, others;
            bool bFirstRead = true;
            for (size_t next = 1; next < left.size(); next += kMostInStep - 1) {
                const size_t end = std::min(left.size(), next + kMostInStep - 1);
                if (!bFirstRead || Stopping()) {
                    others.insert(others.end(), left.begin() + static_cast<std::ptrdiff_t>(next),
                                  left.begin() + static_cast<std::ptrdiff_t>(end));
                    continue;
                }
                Group batch{first};
                batch.insert(batch.end(), left.begin() + static_cast<std::ptrdiff_t>(next),
                             left.begin() + static_cast<std::ptrdiff_t>(end));
                bFirstRead = false;
                for (const Group& same : InStep(batch)) {
                    const bool bWithFirst =
                        std::find(same.begin(), same.end(), first) != same.end();
                    bFirstRead = bFirstRead || bWithFirst;
                    for (size_t file : same)
                        if (file != first)
                            (bWithFirst ? copies : others).push_back(file);
                }
            }
            std::sort(copies.begin(), copies.end(),
                      [this](size_t a, size_t b) { return m_files[a].path < m_files[b].path; });
            Found(copies);
            left = std::move(others);
        }
    }
}

std::vector<Search::Group> Search::InStep(const Group& group) {
    std::vector<Group> classes;
    const int64_t size = m_files[group.front()].size;
    struct Member {
        size_t file;
        OpenFile in;
        std::vector<char> piece;
        size_t nClass; // the class of files whose bytes so far are the same as its
    };
    std::vector<Member> members;
    for (size_t file : group) {
        OpenFile in = Open(m_files[file].path);
        if (!in)
            Unreadable(file);
        else
            members.push_back({file, std::move(in), std::vector<char>(m_options.chunkBytes), 0});
    }
    // Classes split as pieces differ; a class of one needs no more reading.
    auto byPath = [this](size_t a, size_t b) { return m_files[a].path < m_files[b].path; };
    for (int64_t offset = 0; offset < size && !members.empty();) {
        if (Stopping())
            return {};
        const size_t nPiece =
            static_cast<size_t>(std::min<int64_t>(size - offset, m_options.chunkBytes));
        for (auto it = members.begin(); it != members.end();) {
            const size_t nRead = std::fread(it->piece.data(), 1, nPiece, it->in.get());
            Counted(static_cast<int64_t>(nRead));
            if (nRead != nPiece) { // shorter than the scan found: it changed
                Unreadable(it->file);
                it = members.erase(it);
            } else {
                ++it;
            }
        }
        offset += static_cast<int64_t>(nPiece);
        // Within each class, the members whose piece equals the first such member's stay
        // together; each other piece starts a class of its own.
        std::vector<size_t> representative; // by new class: the member whose piece it has
        std::vector<size_t> newClassOf(members.size());
        for (size_t m = 0; m < members.size(); ++m) {
            size_t found = SIZE_MAX;
            for (size_t c = 0; c < representative.size(); ++c) {
                const Member& rep = members[representative[c]];
                if (rep.nClass == members[m].nClass &&
                    std::memcmp(rep.piece.data(), members[m].piece.data(), nPiece) == 0) {
                    found = c;
                    break;
                }
            }
            if (found == SIZE_MAX) {
                found = representative.size();
                representative.push_back(m);
            }
            newClassOf[m] = found;
        }
        for (size_t m = 0; m < members.size(); ++m)
            members[m].nClass = newClassOf[m];
        // Members alone in their class are no one's copy: they are read no further.
        std::vector<size_t> count(representative.size(), 0);
        for (const Member& member : members)
            ++count[member.nClass];
        for (auto it = members.begin(); it != members.end();) {
            if (count[it->nClass] < 2) {
                classes.push_back({it->file});
                it = members.erase(it);
            } else {
                ++it;
            }
        }
    }
    // A file longer now than the scan found has changed too.
    for (auto it = members.begin(); it != members.end();) {
        if (std::fgetc(it->in.get()) != EOF) {
            Unreadable(it->file);
            it = members.erase(it);
        } else {
            ++it;
        }
    }
    std::map<size_t, Group> byClass;
    for (const Member& member : members)
        byClass[member.nClass].push_back(member.file);
    for (auto& [nClass, same] : byClass) {
        std::sort(same.begin(), same.end(), byPath);
        classes.push_back(std::move(same));
    }
    return classes;
}

} // namespace

DuplicateSearch FindDuplicates(const std::vector<DuplicateCandidate>& files,
                               const DuplicateOptions& options, DuplicateProgress* progress,
                               const std::atomic<bool>* stop) {
    return Search(files, options, progress, stop).Run();
}
