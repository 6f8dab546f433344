#pragma once

#include "FolderWatcher.h"
#include "ItemIdList.h"
#include "ShellNamespace.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tarvo
{

// One change in the namespace, as the shell would report it.
struct ShellChange {
    std::uint32_t eventId = 0; // SHCNE_ bits
    TItemIdList first; // the item (a rename: its old identity)
    TItemIdList second; // a rename: the new identity; else the Desktop
};

// The namespace's change events, made from a FolderWatcher of its file system: folders are
// watched by list, and what happens in them comes back as events about lists. One folder
// reached by several lists (a link, Home and its volume path, a bind mount) costs one watch
// that reports to each of them. Volume changes are reported for every volume; nothing on a
// remote volume is watched. GUI thread only, like the namespace.
class TShellChangeSource
{
public:
    explicit TShellChangeSource(TShellNamespace& shell);
    ~TShellChangeSource();
    TShellChangeSource(const TShellChangeSource&) = delete;
    TShellChangeSource& operator=(const TShellChangeSource&) = delete;

    [[nodiscard]] std::vector<WatchDescriptor> Descriptors() const { return m_watcher->Descriptors(); }
    void SetWakeUp(std::function<void()> wakeUp) { m_watcher->SetWakeUp(std::move(wakeUp)); }

    // Watches in use at most; the watcher's own default until set.
    void SetBudget(std::size_t watches) { m_budget = watches; }
    [[nodiscard]] std::size_t Budget() const { return m_budget; }
    [[nodiscard]] std::size_t WatchCount() const { return m_watches.size(); }
    // No further watch can be added without ending another: the budget is used up, or the
    // kernel said its limit is reached (after which nothing more is tried).
    [[nodiscard]] bool Full() const { return m_kernelFull || m_watches.size() >= m_budget; }

    // Watches the folder of an item. An expanded folder (its children are loaded) outranks the
    // rest: when the budget is used up, the watch most recently given to one that is not makes
    // room, and that list is appended to evicted. Watching a watched list again only updates
    // its rank. false when the folder is not watched.
    bool Watch(const TItemIdList& folder, bool expanded, std::vector<TItemIdList>* evicted = nullptr);
    void Unwatch(const TItemIdList& folder);
    [[nodiscard]] bool IsWatched(const TItemIdList& folder) const { return m_lists.contains(folder); }

    // Everything that waits, translated, oldest first. readyFd: the descriptor that fired (-1:
    // any). Both halves of a rename read at once make one rename event; a half alone is a
    // removal or an arrival.
    [[nodiscard]] std::vector<ShellChange> Read(int readyFd);

private:
    struct ListWatch {
        int watch = -1;
        bool expanded = false;
        std::string path;
        std::list<TItemIdList>::iterator leafPlace; // in m_leaves when not expanded
    };

    bool AddWatch(const TItemIdList& folder, bool expanded);
    void DropWatch(int watch);
    void Rank(const TItemIdList& folder, ListWatch& entry, bool expanded);
    [[nodiscard]] std::vector<TItemIdList> ListsOf(int watch) const;
    // The record an entry of a folder gets: a folder record for folders and links to them.
    [[nodiscard]] bool IsFolderEntry(const TItemIdList& folder, const std::string& name, bool isDirectory);
    void Arrived(int watch, const std::string& name, bool isDirectory, std::vector<ShellChange>& out);
    void Left(int watch, const std::string& name, bool isDirectory, std::vector<ShellChange>& out);
    void Renamed(const FolderEvent& from, const FolderEvent& to, std::vector<ShellChange>& out);
    // A move out of a watched folder: a rename when its arrival (same cookie) follows among
    // events, which is then consumed; else the item left.
    void MovedAway(const std::vector<FolderEvent>& events, std::size_t index, std::vector<bool>& consumed,
        std::vector<ShellChange>& out);
    void MountsChanged(const std::vector<std::string>& points, std::vector<ShellChange>& out);

    TShellNamespace& m_shell;
    std::unique_ptr<FolderWatcher> m_watcher;
    std::size_t m_budget;
    bool m_kernelFull = false;
    std::unordered_map<int, std::vector<TItemIdList>> m_watches; // watch -> the lists it serves
    std::unordered_map<TItemIdList, ListWatch, TItemIdListHash> m_lists;
    std::list<TItemIdList> m_leaves; // watched lists that are not expanded, oldest first
};

} // namespace tarvo
