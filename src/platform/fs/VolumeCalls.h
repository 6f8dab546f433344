#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace tarvo
{

// A call that runs on a volume's worker thread. The caller waits for it as long as it is
// willing to and may then give up: the call still runs to its end, but its volume counts as
// stuck until it does, so that one dead network mount or a disc that never spins up costs the
// window one wait, not one per click.
class TPendingCall
{
public:
    TPendingCall() = default;
    virtual ~TPendingCall() = default;
    TPendingCall(const TPendingCall&) = delete;
    TPendingCall& operator=(const TPendingCall&) = delete;

    // True when the call has finished within the limit (or by the deadline).
    bool Wait(std::chrono::milliseconds limit);
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);
    [[nodiscard]] bool Done() const;
    // The caller stops waiting; the volume is stuck until the call returns. Nothing happens
    // when the call is already done.
    void GiveUp();
    // Runs once when the call is done: on the worker thread, or at once on the calling thread
    // when it is done already. Replaces an earlier callback.
    void SetOnDone(std::function<void()> callback);

protected:
    // The worker stores the result under the lock, then calls Finish.
    mutable std::mutex m_mutex;

private:
    friend class VolumeCalls;
    void Finish();

    std::condition_variable m_finished;
    bool m_done = false;
    bool m_gaveUp = false;
    std::function<void()> m_onDone;
    std::function<void()> m_onGiveUp; // set by VolumeCalls: counts the volume as stuck
};

template <typename Result> class TPendingResult final : public TPendingCall
{
public:
    // The result; only meaningful once Done() (empty when the work threw).
    [[nodiscard]] std::optional<Result> Take()
    {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_result, std::nullopt);
    }

private:
    friend class VolumeCalls;
    std::optional<Result> m_result;
};

// The one place where calls that may hang on a volume run (the folder tree's namespace and the
// folder probe both go through it). One worker thread per volume key, made on first use. Calls
// on a volume run one after the other; while a call that its caller gave up on is still
// running, new calls on that volume fail at once, and so do calls when no worker thread can be
// started. Destroying the object never waits for a worker: each ends after its current call,
// whenever that returns.
class VolumeCalls
{
public:
    VolumeCalls() = default;
    ~VolumeCalls();
    VolumeCalls(const VolumeCalls&) = delete;
    VolumeCalls& operator=(const VolumeCalls&) = delete;

    // Queues work on the volume's worker; nullptr when the volume is stuck (or no worker can be
    // started). An exception that leaves the work counts as a call without result.
    template <typename Result>
    [[nodiscard]] std::shared_ptr<TPendingResult<Result>> Start(
        const std::string& volumeKey, std::function<Result()> work)
    {
        auto call = std::make_shared<TPendingResult<Result>>();
        TPendingResult<Result>* raw = call.get();
        const bool queued = Queue(volumeKey, call, [raw, work = std::move(work)] {
            std::optional<Result> result;
            try {
                result = work();
            } catch (...) {
                result.reset();
            }
            const std::lock_guard lock(raw->m_mutex);
            raw->m_result = std::move(result);
        });
        return queued ? call : nullptr;
    }

    // Starts the work and waits up to limit; nullopt when the volume is stuck, the limit passed
    // (the volume is then stuck until the work returns) or the work threw.
    template <typename Result>
    [[nodiscard]] std::optional<Result> Run(
        const std::string& volumeKey, std::chrono::milliseconds limit, std::function<Result()> work)
    {
        const auto call = Start<Result>(volumeKey, std::move(work));
        if (!call)
            return std::nullopt;
        if (!call->Wait(limit)) {
            call->GiveUp();
            return std::nullopt;
        }
        return call->Take();
    }

    // A call that is done already, for answers that need no worker.
    template <typename Result> [[nodiscard]] static std::shared_ptr<TPendingResult<Result>> Finished(Result result)
    {
        auto call = std::make_shared<TPendingResult<Result>>();
        call->m_result = std::move(result);
        call->Finish();
        return call;
    }

    [[nodiscard]] bool IsStuck(const std::string& volumeKey) const;

private:
    struct Worker;
    bool Queue(const std::string& volumeKey, const std::shared_ptr<TPendingCall>& call, std::function<void()> work);

    mutable std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<Worker>> m_workers;
};

} // namespace tarvo
