#pragma once

#include "ByteCount.h"
#include "FolderWalker.h"
#include "KeptTree.h"

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvo
{

// One kept folder as a fresh analysis of it would list it, read from memory.
struct TKeptListing {
    std::vector<std::string> subfolderNames; // in listing order
    std::vector<TByteCount> subfolderBytes; // each subfolder's total
    TByteCount ownBytes; // "<All files in this folder>"
    // What could not be read in the kept folder and below it, as a fresh analysis reports it:
    // how many, and the first UnreadLog::kKept of them by path.
    std::size_t unreadCount = 0;
    std::vector<UnreadFolder> unreadFolders;
    bool stale = false; // marked changed (it or something below it) since it was walked
};

// The kept totals of recent analyses, for showing a folder inside one of them at once.
//
// How the window uses it:
//   TKeptTotals kept(fileSystem.Style());
//   dirSize.SetKeptTotals(&kept);       // every successful Calculate() now keeps its folders
//   ...on a click into a folder (drill-in, Up one dir while inside, a double click):
//   dirSize.Folder = folder;
//   if (dirSize.CalculateFromKept())   // the lists, filled from memory: no folder is read
//       show them at once, then run dirSize.Calculate() for that folder on a worker (cancel
//       it on the next navigation); its success replaces the kept folder (Keep) and the
//       window redraws only if the lists differ;
//   else analyse as before.
//   ...on a change notification for a path: kept.MarkStale(path) (still shown, then checked).
//
// A fresh analysis of a folder inside a kept tree takes that folder's place in it, and the
// totals above it are mended; an analysis of a folder that holds kept trees replaces them.
// Together the trees stay under one memory cap (kCapBytes): past it the tree kept or
// refreshed longest ago is dropped. Hard links count size / n at each of their n names, so a
// folder's kept total is the same from whatever analysis it came. All calls are thread-safe.
class TKeptTotals
{
public:
    static constexpr std::size_t kCapBytes = std::size_t { 256 } << 20;

    explicit TKeptTotals(const PathStyle& style, std::size_t capBytes = kCapBytes);

    [[nodiscard]] std::size_t CapBytes() const { return m_capBytes; }

    // True when the folder is kept (an analysed folder or any folder walked below one).
    [[nodiscard]] bool Contains(const std::string& folder) const;
    // The kept folder's entries; false (listing untouched) when the folder is not kept.
    bool Lookup(const std::string& folder, TKeptListing& listing) const;

    // Takes the folders a finished analysis walked (nullptr is ignored).
    void Keep(std::unique_ptr<TKeptTree> tree);
    // Marks the kept folder at path, or the deepest kept folder on the way to it (a change in a
    // folder that was not there when it was walked), and everything above it as changed.
    void MarkStale(const std::string& path);
    void Clear();

    // How many analyses are kept, and the memory they take together.
    [[nodiscard]] std::size_t TreeCount() const;
    [[nodiscard]] std::size_t MemoryBytes() const;

private:
    // The tree holding the path with the deepest root, or m_trees.end().
    [[nodiscard]] std::list<std::unique_ptr<TKeptTree>>::const_iterator Holder(const std::string& path) const;
    void DropTreesInside(const std::string& root, const TKeptTree* except);
    void EnforceCap();

    const PathStyle& m_style;
    const std::size_t m_capBytes;
    mutable std::mutex m_mutex;
    std::list<std::unique_ptr<TKeptTree>> m_trees; // the one kept or refreshed longest ago first
};

} // namespace tarvo
