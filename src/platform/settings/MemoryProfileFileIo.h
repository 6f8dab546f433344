#pragma once

#include "ProfileFileIo.h"

#include <map>
#include <optional>
#include <string>

namespace tarvo
{

// The settings file's calls on names held in memory, for tests: folders and files that nobody
// may write, files that fail to read, a disk that refuses every replacement. Paths are absolute
// ("/" separated); a folder's name may be given with or without its trailing separator. No links.
class MemoryProfileFileIo final : public ProfileFileIo
{
public:
    MemoryProfileFileIo();

    // Each adds one name; its folder must have been added before (the root "/" is there).
    void AddFolder(const std::string& path, bool writable = true);
    void AddFile(const std::string& path, const std::string& text, bool writable = true);
    void AddOther(const std::string& path, ProfileNodeKind kind); // a FIFO, socket or device
    // Loading the file fails with this errno (0: it reads again).
    void SetReadError(const std::string& path, int error);
    // Every replacement fails with this errno (0: they work again).
    void SetReplaceError(int error) { m_replaceError = error; }

    // The file's text, or nullopt when there is no file of that name.
    [[nodiscard]] std::optional<std::string> Text(const std::string& path) const;
    [[nodiscard]] int ReplaceCount() const { return m_replaceCount; }

    ProfileNode Inspect(const std::string& path) override;
    ProfileNode Load(const std::string& path, std::string& text) override;
    bool MayWriteFile(const std::string& path) override;
    bool MayWriteFolder(const std::string& folder) override;
    int MakeFolder(const std::string& folder) override;
    int Replace(const std::string& path, std::string_view text) override;
    void RemoveStaleTemporaries(const std::string&) override { }

private:
    struct Node {
        ProfileNodeKind kind = ProfileNodeKind::pnFile;
        std::string text;
        bool writable = true;
        int readError = 0;
    };
    [[nodiscard]] const Node* Find(const std::string& path) const;
    // 0 when a new name can go into the folder of path, else the errno the system would give.
    [[nodiscard]] int CanCreateIn(const std::string& path) const;
    void Add(const std::string& path, Node node);

    std::map<std::string, Node> m_nodes;
    int m_replaceError = 0;
    int m_replaceCount = 0;
};

} // namespace tarvo
