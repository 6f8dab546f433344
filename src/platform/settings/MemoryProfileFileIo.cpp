#include "MemoryProfileFileIo.h"
#include "SlashPath.h"

#include <cerrno>
#include <stdexcept>

namespace tarvo
{

namespace
{

    [[nodiscard]] std::string ParentOf(const std::string& path)
    {
        const auto slash = path.rfind('/');
        if (slash == std::string::npos)
            return {};
        return slash == 0 ? std::string("/") : path.substr(0, slash);
    }

} // namespace

MemoryProfileFileIo::MemoryProfileFileIo() { m_nodes["/"] = Node { ProfileNodeKind::pnFolder, {}, true, 0 }; }

void MemoryProfileFileIo::Add(const std::string& path, Node node)
{
    const std::string name = WithoutTrailingSlash(path);
    const Node* parent = Find(ParentOf(name));
    if (parent == nullptr || parent->kind != ProfileNodeKind::pnFolder)
        throw std::invalid_argument("MemoryProfileFileIo: no folder for " + path);
    m_nodes[name] = std::move(node);
}

void MemoryProfileFileIo::AddFolder(const std::string& path, bool writable)
{
    Add(path, Node { ProfileNodeKind::pnFolder, {}, writable, 0 });
}

void MemoryProfileFileIo::AddFile(const std::string& path, const std::string& text, bool writable)
{
    Add(path, Node { ProfileNodeKind::pnFile, text, writable, 0 });
}

void MemoryProfileFileIo::AddOther(const std::string& path, ProfileNodeKind kind)
{
    Add(path, Node { kind, {}, true, 0 });
}

void MemoryProfileFileIo::SetReadError(const std::string& path, int error)
{
    const auto found = m_nodes.find(WithoutTrailingSlash(path));
    if (found != m_nodes.end())
        found->second.readError = error;
}

std::optional<std::string> MemoryProfileFileIo::Text(const std::string& path) const
{
    const Node* node = Find(path);
    if (node == nullptr || node->kind != ProfileNodeKind::pnFile)
        return std::nullopt;
    return node->text;
}

const MemoryProfileFileIo::Node* MemoryProfileFileIo::Find(const std::string& path) const
{
    const auto found = m_nodes.find(WithoutTrailingSlash(path));
    return found == m_nodes.end() ? nullptr : &found->second;
}

int MemoryProfileFileIo::CanCreateIn(const std::string& path) const
{
    const Node* parent = Find(ParentOf(WithoutTrailingSlash(path)));
    if (parent == nullptr)
        return ENOENT;
    if (parent->kind != ProfileNodeKind::pnFolder)
        return ENOTDIR;
    return parent->writable ? 0 : EACCES;
}

ProfileNode MemoryProfileFileIo::Inspect(const std::string& path)
{
    const Node* node = path.empty() ? nullptr : Find(path);
    return node == nullptr ? ProfileNode {} : ProfileNode { node->kind, 0 };
}

ProfileNode MemoryProfileFileIo::Load(const std::string& path, std::string& text)
{
    text.clear();
    const Node* node = path.empty() ? nullptr : Find(path);
    if (node == nullptr)
        return {};
    if (node->kind == ProfileNodeKind::pnFile && node->readError == 0)
        text = node->text;
    return { node->kind, node->kind == ProfileNodeKind::pnFile ? node->readError : 0 };
}

bool MemoryProfileFileIo::MayWriteFile(const std::string& path)
{
    const Node* node = Find(path);
    return node != nullptr && node->kind == ProfileNodeKind::pnFile && node->writable;
}

bool MemoryProfileFileIo::MayWriteFolder(const std::string& folder)
{
    const Node* node = Find(folder);
    return node != nullptr && node->kind == ProfileNodeKind::pnFolder && node->writable;
}

int MemoryProfileFileIo::MakeFolder(const std::string& folder)
{
    if (Find(folder) != nullptr)
        return EEXIST;
    if (const int error = CanCreateIn(folder); error != 0)
        return error;
    m_nodes[WithoutTrailingSlash(folder)] = Node { ProfileNodeKind::pnFolder, {}, true, 0 };
    return 0;
}

int MemoryProfileFileIo::Replace(const std::string& path, std::string_view text)
{
    if (const int error = CanCreateIn(path); error != 0)
        return error;
    const Node* node = Find(path);
    if (node != nullptr && node->kind != ProfileNodeKind::pnFile)
        return EINVAL;
    if (m_replaceError != 0)
        return m_replaceError;
    ++m_replaceCount;
    Node& file = m_nodes[WithoutTrailingSlash(path)];
    file.kind = ProfileNodeKind::pnFile;
    file.text = std::string(text);
    return 0;
}

} // namespace tarvo
