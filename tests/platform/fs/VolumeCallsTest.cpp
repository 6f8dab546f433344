// The rule for calls that may hang on a volume, which the folder tree's namespace and the folder
// probe both rely on: their own tests only check what they make of a stuck volume.

#include "VolumeCalls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace tarvo
{
namespace
{

    using namespace std::chrono_literals;

    // Long enough never to be reached by a call that answers; only a failure waits it out.
    constexpr std::chrono::milliseconds kWait { 10000 };

    // Holds every call that enters it until opened, as a share whose server is gone. Opens and
    // waits for the calls inside when it goes, so that a failed test leaves no worker in it.
    class Gate
    {
    public:
        Gate() = default;
        Gate(const Gate&) = delete;
        Gate& operator=(const Gate&) = delete;
        ~Gate()
        {
            Open();
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_inside == 0; });
        }

        // The number of calls that had entered, this one included.
        int Enter()
        {
            std::unique_lock lock(m_mutex);
            ++m_inside;
            const int entered = ++m_entered;
            m_changed.wait(lock, [this] { return m_open; });
            --m_inside;
            m_changed.notify_all();
            return entered;
        }
        void Open()
        {
            const std::lock_guard lock(m_mutex);
            m_open = true;
            m_changed.notify_all();
        }
        [[nodiscard]] int Entered()
        {
            const std::lock_guard lock(m_mutex);
            return m_entered;
        }

    private:
        std::mutex m_mutex;
        std::condition_variable m_changed;
        bool m_open = false;
        int m_inside = 0;
        int m_entered = 0;
    };

    TEST(VolumeCalls, AGivenUpCallMakesItsVolumeAloneFailAtOnceUntilItReturns)
    {
        Gate gate; // declared first: it goes last, after the calls' object that never waits

        VolumeCalls calls;
        const auto stuck = calls.Start<int>("/mnt/nas", [&gate] { return gate.Enter(); });
        ASSERT_NE(stuck, nullptr);
        EXPECT_FALSE(stuck->Wait(50ms));
        EXPECT_FALSE(calls.IsStuck("/mnt/nas")) << "slow, but its caller still waits";
        const auto queued = calls.Start<int>("/mnt/nas", [&gate] { return gate.Enter(); });
        ASSERT_NE(queued, nullptr) << "calls on a volume wait for each other";

        stuck->GiveUp();
        EXPECT_TRUE(calls.IsStuck("/mnt/nas"));
        EXPECT_EQ(calls.Start<int>("/mnt/nas", [] { return 0; }), nullptr) << "fails at once";
        EXPECT_EQ(calls.Run<int>("/mnt/nas", kWait, [] { return 0; }), std::nullopt);
        EXPECT_EQ(calls.Run<int>("/", kWait, [] { return 2; }), 2) << "another volume answers";
        EXPECT_EQ(gate.Entered(), 1) << "one call inside the stuck volume, no second";

        gate.Open();
        ASSERT_TRUE(stuck->Wait(kWait));
        EXPECT_EQ(stuck->Take(), 1) << "a call given up on still runs to its end";
        ASSERT_TRUE(queued->Wait(kWait));
        EXPECT_EQ(queued->Take(), 2);
        EXPECT_FALSE(calls.IsStuck("/mnt/nas"));
        EXPECT_EQ(calls.Run<int>("/mnt/nas", kWait, [] { return 3; }), 3) << "recovered";
    }

    TEST(VolumeCalls, AThrowingCallEndsWithoutAResultAndItsWorkerGoesOn)
    {
        VolumeCalls calls;
        EXPECT_EQ(calls.Run<int>("/", kWait, []() -> int { throw std::runtime_error("EIO"); }), std::nullopt);
        EXPECT_EQ(calls.Run<int>("/", kWait, [] { return 4; }), 4);
        EXPECT_FALSE(calls.IsStuck("/"));
    }

} // namespace
} // namespace tarvo
