#pragma once

#include "HistoryDatabase.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tarvo
{

// The history file on a thread of its own, so that keeping an analysis never holds up the
// window: Record returns at once. Questions wait for the records asked for before them, so
// they see every analysis recorded so far; they take a few milliseconds, and only as long as a
// lock wait when a second Tarvo is writing at that moment.
class HistoryRecorder
{
public:
    // onProblem runs on the recorder's thread, at most once for each kind of problem.
    explicit HistoryRecorder(std::string fileName, HistoryLimits limits = {},
        std::function<void(const HistoryProblem& problem)> onProblem = {});
    // Finishes the records asked for, then stops.
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    void Record(HistoryRecord record);
    [[nodiscard]] std::vector<HistorySummary> Analyses(const std::string& folder, std::size_t limit);
    [[nodiscard]] std::optional<std::vector<HistoryEntry>> Entries(std::int64_t analysisId);
    // Returns once every record asked for so far is written (or given up).
    void WaitIdle();
    // What came of the last record written.
    [[nodiscard]] HistoryStatus LastRecordStatus() const;
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }

private:
    using Task = std::function<void(HistoryDatabase&)>;
    void Post(Task task);
    void RunAndWait(const Task& task);
    void Work();

    std::string m_fileName;
    HistoryLimits m_limits;
    std::function<void(const HistoryProblem&)> m_onProblem;
    mutable std::mutex m_mutex; // guards the fields below
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Task> m_tasks;
    bool m_busy = false;
    bool m_stopping = false;
    HistoryStatus m_lastRecordStatus = HistoryStatus::hsDone;
    std::thread m_thread; // last: starts once everything above is there
};

} // namespace tarvo
