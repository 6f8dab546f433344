#include "InotifyWatcher.h"

#include "MountChanges.h"
#include "MountTable.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/inotify.h>
#include <unistd.h>

namespace tarvo
{

namespace
{

    // Entry changes of the folder itself only; IN_UNMOUNT, IN_Q_OVERFLOW and IN_IGNORED come
    // unasked. IN_EXCL_UNLINK: a file deleted while still open elsewhere says nothing more.
    constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF
        | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;
    constexpr std::size_t kReadBytes = 64 * 1024;

    // The fixed part of an event; the name that follows it is read by the caller.
    FolderEvent EventOf(const inotify_event& raw)
    {
        FolderEvent event;
        event.watch = raw.wd;
        event.isFolder = (raw.mask & IN_ISDIR) != 0;
        event.cookie = raw.cookie;
        if ((raw.mask & IN_Q_OVERFLOW) != 0) {
            event.kind = FolderEventKind::feOverflow;
            event.watch = -1;
        } else if ((raw.mask & IN_IGNORED) != 0) {
            event.kind = FolderEventKind::feIgnored;
        } else if ((raw.mask & IN_UNMOUNT) != 0) {
            event.kind = FolderEventKind::feUnmounted;
        } else if ((raw.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0) {
            event.kind = FolderEventKind::feSelfGone;
        } else if ((raw.mask & IN_CREATE) != 0) {
            event.kind = FolderEventKind::feCreated;
        } else if ((raw.mask & IN_DELETE) != 0) {
            event.kind = FolderEventKind::feDeleted;
        } else if ((raw.mask & IN_MOVED_FROM) != 0) {
            event.kind = FolderEventKind::feMovedFrom;
        } else {
            event.kind = FolderEventKind::feMovedTo;
        }
        return event;
    }

    class InotifyWatcher final : public FolderWatcher
    {
    public:
        InotifyWatcher()
            : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
            , m_mountFd(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC))
            , m_mounts(MountTable::ReadLive())
        {
        }
        ~InotifyWatcher() override
        {
            if (m_fd >= 0)
                ::close(m_fd);
            if (m_mountFd >= 0)
                ::close(m_mountFd);
        }

        [[nodiscard]] std::vector<WatchDescriptor> Descriptors() const override
        {
            std::vector<WatchDescriptor> descriptors;
            if (m_fd >= 0)
                descriptors.push_back({ m_fd, false });
            if (m_mountFd >= 0)
                descriptors.push_back({ m_mountFd, true });
            return descriptors;
        }

        void SetWakeUp(std::function<void()> /*wakeUp*/) override { }

        [[nodiscard]] int Add(const std::string& folderPath, WatchError& error) override
        {
            const int watch = m_fd < 0 ? -1 : ::inotify_add_watch(m_fd, folderPath.c_str(), kWatchMask);
            if (watch < 0)
                error = errno == ENOSPC ? WatchError::weNoSpace : WatchError::weFailed;
            else
                error = WatchError::weNone;
            return watch;
        }

        void Remove(int watch) override
        {
            if (m_fd >= 0)
                (void)::inotify_rm_watch(m_fd, watch);
        }

        [[nodiscard]] std::vector<FolderEvent> Read(int readyFd) override
        {
            std::vector<FolderEvent> events;
            if (readyFd < 0 || readyFd == m_fd)
                ReadInotify(events);
            if (readyFd < 0 || readyFd == m_mountFd)
                ReadMounts(events);
            return events;
        }

        [[nodiscard]] std::size_t DefaultBudget() const override { return InotifyWatchBudget(); }

    private:
        void ReadInotify(std::vector<FolderEvent>& events)
        {
            alignas(inotify_event) static thread_local char buffer[kReadBytes];
            for (;;) {
                const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
                if (count < 0 && errno == EINTR)
                    continue;
                if (count <= 0)
                    return;
                for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= count;) {
                    inotify_event raw {};
                    std::memcpy(&raw, buffer + offset, sizeof raw);
                    FolderEvent event = EventOf(raw);
                    if (raw.len > 0) {
                        const char* name = buffer + offset + sizeof(inotify_event);
                        event.name.assign(name, ::strnlen(name, raw.len));
                    }
                    events.push_back(std::move(event));
                    offset += static_cast<ssize_t>(sizeof(inotify_event) + raw.len);
                }
            }
        }

        void ReadMounts(std::vector<FolderEvent>& events)
        {
            MountTable now = MountTable::ReadLive();
            for (std::string& point : ChangedMountPoints(m_mounts, now)) {
                FolderEvent event;
                event.kind = FolderEventKind::feMountPoint;
                event.name = std::move(point);
                events.push_back(std::move(event));
            }
            m_mounts = std::move(now);
        }

        int m_fd;
        int m_mountFd;
        MountTable m_mounts;
    };

} // namespace

std::unique_ptr<FolderWatcher> MakeInotifyWatcher() { return std::make_unique<InotifyWatcher>(); }

std::size_t InotifyWatchBudget()
{
    std::ifstream limit("/proc/sys/fs/inotify/max_user_watches");
    std::size_t watches = 0;
    if (!(limit >> watches) || watches < 4)
        return 2048;
    return watches / 4;
}

} // namespace tarvo
