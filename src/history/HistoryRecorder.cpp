#include "HistoryRecorder.h"

#include <future>
#include <utility>

namespace tarvo
{

HistoryRecorder::HistoryRecorder(
    std::string fileName, HistoryLimits limits, std::function<void(const HistoryProblem& problem)> onProblem)
    : m_fileName(std::move(fileName))
    , m_limits(limits)
    , m_onProblem(std::move(onProblem))
    , m_thread([this] { Work(); })
{
}

HistoryRecorder::~HistoryRecorder()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void HistoryRecorder::Record(HistoryRecord record)
{
    Post([this, record = std::move(record)](HistoryDatabase& database) {
        const HistoryStatus status = database.Record(record);
        const std::lock_guard lock(m_mutex);
        m_lastRecordStatus = status;
    });
}

std::vector<HistorySummary> HistoryRecorder::Analyses(const std::string& folder, std::size_t limit)
{
    std::vector<HistorySummary> analyses;
    RunAndWait([&](HistoryDatabase& database) { analyses = database.Analyses(folder, limit); });
    return analyses;
}

std::optional<std::vector<HistoryEntry>> HistoryRecorder::Entries(std::int64_t analysisId)
{
    std::optional<std::vector<HistoryEntry>> entries;
    RunAndWait([&](HistoryDatabase& database) { entries = database.Entries(analysisId); });
    return entries;
}

void HistoryRecorder::WaitIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_tasks.empty() && !m_busy; });
}

HistoryStatus HistoryRecorder::LastRecordStatus() const
{
    const std::lock_guard lock(m_mutex);
    return m_lastRecordStatus;
}

void HistoryRecorder::Post(Task task)
{
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void HistoryRecorder::RunAndWait(const Task& task)
{
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    Post([&task, &done](HistoryDatabase& database) {
        try {
            task(database);
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    finished.get(); // rethrows what the task raised (only ever std::bad_alloc)
}

void HistoryRecorder::Work()
{
    HistoryDatabase database(m_fileName, m_limits, HistoryDatabase::haReadWrite, m_onProblem);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        if (m_tasks.empty())
            return; // stopping, with every record written
        Task task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_busy = true;
        lock.unlock();
        try {
            task(database);
        } catch (...) {
            // A record that could not even be attempted (no memory) is lost alone; the thread
            // goes on for the next.
        }
        lock.lock();
        m_busy = false;
        if (m_tasks.empty())
            m_idle.notify_all();
    }
}

} // namespace tarvo
