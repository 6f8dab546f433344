#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvo
{

enum class FolderEventKind : std::uint8_t {
    feCreated, // name appeared in the watched folder
    feDeleted, // name went from it
    feMovedFrom, // name was renamed away; a feMovedTo with the same cookie may follow
    feMovedTo, // name arrived by a rename
    feSelfGone, // the watched folder itself was deleted or moved; its watch is over
    feUnmounted, // the file system holding the watched folder went; its watch is over
    feIgnored, // the watch is over (after feSelfGone, feUnmounted, or a Remove)
    feOverflow, // events were lost: anything watched may have changed
    feMountPoint, // the mount table changed at the path in name
};

struct FolderEvent {
    FolderEventKind kind = FolderEventKind::feCreated;
    int watch = -1; // the watch the event concerns; -1 for feOverflow and feMountPoint
    std::string name; // raw bytes of the entry inside the folder, or the mount point's path
    bool isFolder = false; // the entry is a directory (links never are)
    std::uint32_t cookie = 0; // pairs a feMovedFrom with its feMovedTo; 0 otherwise
};

// A descriptor to wait on: readable, or (exceptional) with urgent data, as the kernel signals a
// changed mount table.
struct WatchDescriptor {
    int fd = -1;
    bool exceptional = false;
};

enum class WatchError : std::uint8_t {
    weNone,
    weNoSpace, // the kernel's watch limit is reached: adding more is pointless
    weFailed, // this folder cannot be watched (gone, not a folder, no permission)
};

// Change notifications of a file system by folder path. Not thread-safe: one thread uses it.
class FolderWatcher
{
public:
    FolderWatcher() = default;
    virtual ~FolderWatcher() = default;
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // What to wait on; empty for sources that call their wake-up instead.
    [[nodiscard]] virtual std::vector<WatchDescriptor> Descriptors() const = 0;
    // Called, on the thread that made the change, when events are waiting (sources without
    // descriptors only).
    virtual void SetWakeUp(std::function<void()> wakeUp) = 0;
    // Watches the folder's entries (a link at the end of the path is followed). The same folder
    // reached twice gives the same watch; -1 with error set on failure.
    [[nodiscard]] virtual int Add(const std::string& folderPath, WatchError& error) = 0;
    // Ends a watch; its feIgnored may still arrive and is dropped by the caller.
    virtual void Remove(int watch) = 0;
    // Everything waiting, oldest first, without blocking; readyFd is the descriptor that woke
    // the caller (-1: look at every source).
    [[nodiscard]] virtual std::vector<FolderEvent> Read(int readyFd) = 0;
    // How many watches one program should use at most.
    [[nodiscard]] virtual std::size_t DefaultBudget() const = 0;
};

} // namespace tarvo
