#include "FolderCheck.h"

#include "DirSize.h"
#include "KeptTotals.h"

#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tarvo
{

namespace
{

    // How long closing the window waits for a check to notice that it was stopped.
    constexpr auto kStopWait = std::chrono::seconds(2);

} // namespace

// What one check's thread shares with the window. The thread owns a reference; the window drops
// its own when the check is replaced, so a check nobody waits for any more still ends safely.
struct TFolderCheck::Job {
    std::string folder;
    std::unique_ptr<TDirSize> scan;
    std::atomic<bool> stop { false };
    bool gone = false;
    bool completed = false; // the scan ran to its end (not stopped)

    std::mutex mutex; // guards receiver and done
    std::condition_variable finished;
    TFolderCheck* receiver = nullptr; // null once nobody listens
    bool done = false;
};

TFolderCheck::TFolderCheck(FileSystem& fileSystem, FormatSettings settings, TKeptTotals& kept, QObject* parent)
    : QObject(parent)
    , m_fileSystem(fileSystem)
    , m_settings(std::move(settings))
    , m_kept(kept)
{
}

TFolderCheck::~TFolderCheck()
{
    std::shared_ptr<Job> job = std::move(m_current);
    if (!job)
        return;
    std::unique_lock lock(job->mutex);
    job->receiver = nullptr;
    job->stop.store(true);
    job->finished.wait_for(lock, kStopWait, [&job] { return job->done; });
}

void TFolderCheck::Start(const std::string& folder, bool includeFreeSpace)
{
    Cancel();
    auto job = std::make_shared<Job>();
    job->folder = folder;
    job->scan = std::make_unique<TDirSize>(m_fileSystem, m_settings);
    job->scan->Folder = folder;
    job->scan->IncludeFreeSpace = includeFreeSpace;
    job->scan->SetKeptTotals(&m_kept);
    job->receiver = this;
    m_current = job;
    FileSystem& fileSystem = m_fileSystem;
    std::thread([job, &fileSystem] {
        // A folder that cannot be opened is asked after the scan, whether it is still there.
        job->completed = job->scan->Calculate(job->stop);
        job->gone = job->completed && !fileSystem.FolderExists(job->folder);
        std::lock_guard lock(job->mutex);
        if (job->receiver != nullptr) {
            QMetaObject::invokeMethod(
                job->receiver, [receiver = job->receiver, job] { receiver->Finished(job); }, Qt::QueuedConnection);
        }
        job->done = true;
        job->finished.notify_all();
    }).detach();
}

void TFolderCheck::Cancel()
{
    std::shared_ptr<Job> job = std::move(m_current);
    if (!job)
        return;
    std::lock_guard lock(job->mutex);
    job->receiver = nullptr;
    job->stop.store(true);
}

void TFolderCheck::Finished(const std::shared_ptr<Job>& job)
{
    if (job != m_current)
        return; // replaced or cancelled after it had posted its result
    m_current.reset();
    if (job->gone) {
        if (OnGone)
            OnGone(job->folder);
    } else if (job->completed && OnChecked) {
        OnChecked(*job->scan);
    }
}

} // namespace tarvo
