#include "VolumeCalls.h"

#include <atomic>
#include <deque>
#include <system_error>
#include <thread>

namespace tarvo
{

bool TPendingCall::Wait(std::chrono::milliseconds limit) { return WaitUntil(std::chrono::steady_clock::now() + limit); }

bool TPendingCall::WaitUntil(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    return m_finished.wait_until(lock, deadline, [this] { return m_done; });
}

bool TPendingCall::Done() const
{
    const std::lock_guard lock(m_mutex);
    return m_done;
}

void TPendingCall::GiveUp()
{
    const std::lock_guard lock(m_mutex);
    if (m_done || m_gaveUp)
        return;
    m_gaveUp = true;
    if (m_onGiveUp)
        m_onGiveUp();
}

void TPendingCall::SetOnDone(std::function<void()> callback)
{
    std::unique_lock lock(m_mutex);
    if (!m_done) {
        m_onDone = std::move(callback);
        return;
    }
    lock.unlock();
    if (callback)
        callback();
}

void TPendingCall::Finish()
{
    std::function<void()> onDone;
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
        if (m_gaveUp && m_onGiveUp)
            m_onGiveUp(); // the second call ends the stuck period (see Queue)
        onDone = std::move(m_onDone);
    }
    m_finished.notify_all();
    if (onDone)
        onDone();
}

struct VolumeCalls::Worker {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<std::shared_ptr<TPendingCall>, std::function<void()>>> tasks;
    bool stop = false;
    std::atomic<int> abandoned { 0 }; // calls given up on that are still running

    void Loop()
    {
        for (;;) {
            std::pair<std::shared_ptr<TPendingCall>, std::function<void()>> task;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return stop || !tasks.empty(); });
                if (tasks.empty())
                    return;
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task.second();
            task.first->Finish();
        }
    }
};

VolumeCalls::~VolumeCalls()
{
    const std::lock_guard lock(m_mutex);
    for (auto& [key, worker] : m_workers) {
        const std::lock_guard workerLock(worker->mutex);
        worker->stop = true;
        worker->wake.notify_all();
    }
}

bool VolumeCalls::Queue(
    const std::string& volumeKey, const std::shared_ptr<TPendingCall>& call, std::function<void()> work)
{
    std::shared_ptr<Worker> worker;
    {
        const std::lock_guard lock(m_mutex);
        std::shared_ptr<Worker>& slot = m_workers[volumeKey];
        if (!slot) {
            slot = std::make_shared<Worker>();
            try {
                // Detached, holding its own state: quitting must not wait for a call stuck in the kernel.
                std::thread([state = slot] { state->Loop(); }).detach();
            } catch (const std::system_error&) {
                m_workers.erase(volumeKey); // the next call tries again
                return false;
            }
        }
        worker = slot;
    }
    if (worker->abandoned.load() > 0)
        return false;
    // Called under the call's lock: once when the caller gives up, once more when the call ends.
    call->m_onGiveUp = [worker, counted = false]() mutable {
        worker->abandoned += counted ? -1 : 1;
        counted = !counted;
    };
    const std::lock_guard lock(worker->mutex);
    worker->tasks.emplace_back(call, std::move(work));
    worker->wake.notify_one();
    return true;
}

bool VolumeCalls::IsStuck(const std::string& volumeKey) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_workers.find(volumeKey);
    return found != m_workers.end() && found->second->abandoned.load() > 0;
}

} // namespace tarvo
