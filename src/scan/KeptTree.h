#pragma once

#include "ByteCount.h"
#include "PathStyle.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvo
{

// The folder totals one analysis walked, kept so that any folder below its analysed folder can
// be shown again without reading the disk: per folder its name, its total, the total of its
// own files, its subfolders in listing order and what in it could not be read. Folders only:
// memory grows with the folder count, never with the file count (kBytesPerFolder plus the
// name's bytes per folder). Built by TKeptTreeBuilder, held and queried through TKeptTotals;
// not safe for use by several threads at once.
class TKeptTree
{
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    // One folder. Four-byte words only, so that an array of them packs into 60 bytes.
    struct Node {
        std::uint32_t total[4] = {}; // everything below the folder (a TByteCount, low word first)
        std::uint32_t own[4] = {}; // its own non-folder entries
        std::uint32_t nameOffset = 0; // into the name bytes
        std::uint32_t parent = kNone;
        std::uint32_t firstChild = 0; // into the child list
        std::uint32_t childCount = 0;
        std::uint32_t unreadBelow = 0; // what could not be read in the folder and below it
        std::uint16_t nameLength = 0;
        std::int16_t error = 0; // errno value of the first thing in the folder not read, or 0
        std::uint8_t stale = 0; // something in it changed since it was walked
    };
    // A node plus its slot in its parent's child list.
    static constexpr std::size_t kBytesPerFolder = sizeof(Node) + sizeof(std::uint32_t);
    // What could not be read in a folder: the folder itself (empty name) or one of its entries.
    // Kept apart, and at most kFailuresKept per folder (as many as a scan names).
    struct Failure {
        std::string name;
        int error = 0;
    };
    static constexpr std::size_t kFailuresKept = 20;

    TKeptTree(const PathStyle& style, std::string rootPath);

    // The analysed folder, without a trailing separator (unless a root).
    [[nodiscard]] const std::string& RootPath() const { return m_rootPath; }
    [[nodiscard]] std::size_t FolderCount() const { return m_nodes.size() - m_deadNodes; }
    // What the tree holds in memory, dead space of replaced subtrees included.
    [[nodiscard]] std::size_t MemoryBytes() const;

    [[nodiscard]] const Node& At(std::uint32_t index) const { return m_nodes[index]; }
    [[nodiscard]] std::string_view Name(std::uint32_t index) const;
    [[nodiscard]] std::uint32_t Child(std::uint32_t index, std::uint32_t i) const
    {
        return m_children[m_nodes[index].firstChild + i];
    }
    [[nodiscard]] static TByteCount Total(const Node& node);
    [[nodiscard]] static TByteCount Own(const Node& node);
    // The kept folder at a path inside the tree, or kNone.
    [[nodiscard]] std::uint32_t Find(std::string_view path) const;
    // The deepest kept folder on the way to path (the root when nothing below it matches), or
    // kNone when path does not lie in the tree.
    [[nodiscard]] std::uint32_t FindDeepest(std::string_view path) const;
    // The full path of a kept folder.
    [[nodiscard]] std::string PathOf(std::uint32_t index) const;
    // The failures kept for a folder (none: an empty list).
    [[nodiscard]] const std::vector<Failure>& Failures(std::uint32_t index) const;

    // Puts a fresh walk of the folder at `index` in place of what was kept for it and below
    // it, and mends the totals of the folders above it. `fresh` is rooted at that folder.
    void Replace(std::uint32_t index, const TKeptTree& fresh);
    // Marks the folder and every folder above it as changed since it was walked.
    void MarkStale(std::uint32_t index);

private:
    friend class TKeptTreeBuilder;

    static void SetWords(std::uint32_t (&words)[4], TByteCount value);
    [[nodiscard]] std::uint32_t AppendCopy(const TKeptTree& from, std::uint32_t fromIndex, std::uint32_t parent);
    // Forgets the folders below index (their nodes stay until the next compaction).
    void DropBelow(std::uint32_t index);
    void Compact();

    const PathStyle& m_style;
    std::string m_rootPath;
    std::vector<Node> m_nodes; // [0] is the analysed folder; a parent comes before its children
    std::vector<std::uint32_t> m_children; // each folder's subfolders, together, in listing order
    std::string m_names;
    std::unordered_map<std::uint32_t, std::vector<Failure>> m_failures; // by folder
    std::size_t m_deadNodes = 0; // nodes of replaced subtrees, until the next compaction
};

} // namespace tarvo
