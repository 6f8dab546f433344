#pragma once

// Header only: the support library does not link the platform layer, the suites that use this
// double do.

#include "MemoryFileSystem.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tarvo::test
{

// An in-memory file system whose folder tests and free-space queries under chosen folders do
// not return until released, as on a hard-mounted share whose server is gone.
class StallingFileSystem : public MemoryFileSystem
{
public:
    using MemoryFileSystem::MemoryFileSystem;

    // Lets every stalled call go and waits until none is inside any more, so that nothing
    // touches the object once it is gone.
    ~StallingFileSystem() override
    {
        std::unique_lock lock(m_mutex);
        m_stalledFolders.clear();
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_inside == 0; });
    }
    StallingFileSystem(const StallingFileSystem&) = delete;
    StallingFileSystem& operator=(const StallingFileSystem&) = delete;

    // Calls about the folder and everything below it stall from now on.
    void Stall(const std::string& folder)
    {
        const std::lock_guard lock(m_mutex);
        m_stalledFolders.push_back(folder);
    }
    void ReleaseAll()
    {
        const std::lock_guard lock(m_mutex);
        m_stalledFolders.clear();
        m_changed.notify_all();
    }
    // How many calls have run into a stall so far.
    [[nodiscard]] int StalledCalls() const
    {
        const std::lock_guard lock(m_mutex);
        return m_stalledCalls;
    }

    [[nodiscard]] bool FolderExists(const std::string& path) override
    {
        const Inside inside(*this, path);
        return MemoryFileSystem::FolderExists(path);
    }
    [[nodiscard]] std::int64_t FreeBytes(const std::string& volumeRoot) override
    {
        const Inside inside(*this, volumeRoot);
        return MemoryFileSystem::FreeBytes(volumeRoot);
    }

private:
    // Counts the call as inside for its whole length and waits at the start while it is stalled.
    class Inside
    {
    public:
        Inside(StallingFileSystem& owner, const std::string& path)
            : m_owner(owner)
        {
            std::unique_lock lock(m_owner.m_mutex);
            ++m_owner.m_inside;
            if (m_owner.IsStalled(path)) {
                ++m_owner.m_stalledCalls;
                m_owner.m_changed.wait(lock, [this, &path] { return !m_owner.IsStalled(path); });
            }
        }
        ~Inside()
        {
            const std::lock_guard lock(m_owner.m_mutex);
            --m_owner.m_inside;
            m_owner.m_changed.notify_all();
        }
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;

    private:
        StallingFileSystem& m_owner;
    };

    [[nodiscard]] bool IsStalled(const std::string& path) const
    {
        for (const std::string& folder : m_stalledFolders) {
            if (path == folder || path.starts_with(folder + Style().Separator()))
                return true;
        }
        return false;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_stalledFolders;
    int m_inside = 0;
    int m_stalledCalls = 0;
};

} // namespace tarvo::test
