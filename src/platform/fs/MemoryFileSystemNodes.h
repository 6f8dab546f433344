#pragma once

// The in-memory tree behind MemoryFileSystem, shared by its reading, building and watching code.

#include "MemoryFileSystem.h"

#include <unordered_map>

namespace tarvo
{

struct MemoryFileSystem::Node {
    std::string name; // as given when created; roots carry their full text ("/", "C:\")
    EntryKind kind = EntryKind::ekFolder;
    std::int64_t sizeBytes = 0; // files and links only
    // Shared by every name of a file with hard links: how many names it has. nullptr: one.
    std::shared_ptr<std::uint64_t> names;
    std::string linkTarget;
    Node* parent = nullptr; // physical parent, nullptr for roots
    Node* bindTarget = nullptr; // set on bind-mount entries: the folder they show
    std::uint64_t inode = 0;
    int volumeIndex = -1; // index into m_volumes when this folder is a volume root
    bool unreadable = false;
    int statError = 0; // errno value that examining or opening this entry fails with
    bool compressed = false;
    std::vector<std::unique_ptr<Node>> children; // listing order = insertion order
    std::unordered_map<std::string, Node*> byKey; // children by Key(name)
};

// A folder as reached through a path: the same node seen through a bind mount has another
// parent, path and mount flag, which is what ".." and the identity must reflect.
struct MemoryFileSystem::Place {
    Node* node = nullptr;
    PlacePtr up; // nullptr at a top-level root
    std::string path;
    bool mountRoot = false;
};

struct MemoryFileSystem::Announcement {
    const Node* folder = nullptr; // the folder the event is about; nullptr: every watcher
    FolderEvent event; // watch is filled in per watcher
};

} // namespace tarvo
