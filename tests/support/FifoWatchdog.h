#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tarvo::test
{

// Guards a call that must never block on a FIFO: when the guard has lived longer than its limit,
// it opens each FIFO from both ends (without blocking) until it goes, so that a call stuck opening
// one comes back and the test fails instead of hanging the suite.
class FifoWatchdog
{
public:
    FifoWatchdog(std::vector<std::string> fifos, std::chrono::milliseconds limit = std::chrono::seconds(2))
        : m_fifos(std::move(fifos))
        , m_thread([this, limit] { Watch(limit); })
    {
    }
    ~FifoWatchdog()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
        EXPECT_FALSE(m_fired) << "a call blocked on a FIFO";
    }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

private:
    void Watch(std::chrono::milliseconds limit)
    {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, limit, [this] { return m_done; }))
            return;
        m_fired = true;
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_done; })) {
            for (const std::string& fifo : m_fifos) {
                for (const int mode : { O_RDONLY, O_WRONLY }) {
                    const int fd = ::open(fifo.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
                    if (fd >= 0)
                        ::close(fd);
                }
            }
        }
    }

    std::vector<std::string> m_fifos;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_fired { false };
    std::thread m_thread; // last: it starts once everything above is ready
};

} // namespace tarvo::test
