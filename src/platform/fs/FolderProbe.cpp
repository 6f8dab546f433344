#include "FolderProbe.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

namespace tarvo
{

namespace
{

    using Clock = std::chrono::steady_clock;

    // Volumes with a helper still inside the file system, for every probe of the process: the
    // window and the about box asking about the same dead share share its one stuck helper.
    struct Registry {
        std::mutex mutex;
        std::set<std::pair<const FileSystem*, std::string>> pending;
    };

    // Never destroyed: detached helpers may still come back while the process exits.
    Registry& TheRegistry()
    {
        static Registry* registry = new Registry;
        return *registry;
    }

    void Forget(const FileSystem& fileSystem, const std::string& volumeKey)
    {
        Registry& registry = TheRegistry();
        const std::lock_guard lock(registry.mutex);
        registry.pending.erase({ &fileSystem, volumeKey });
    }

    // Where a helper leaves its answer; shared, because the caller may have given up long before.
    template <class T> struct Answer {
        std::mutex mutex;
        std::condition_variable ready;
        std::optional<T> value;
    };

    template <class T> using AnswerPtr = std::shared_ptr<Answer<T>>;

    // Starts question on a helper, or returns nullptr when the volume already has one pending or
    // no thread can be started. failed is the answer when the file system throws, which its
    // contract rules out but a detached thread must not die of.
    template <class T>
    AnswerPtr<T> Ask(
        FileSystem& fileSystem, const std::string& volumeKey, std::function<T(FileSystem&)> question, T failed)
    {
        Registry& registry = TheRegistry();
        {
            const std::lock_guard lock(registry.mutex);
            if (!registry.pending.emplace(&fileSystem, volumeKey).second)
                return nullptr;
        }
        auto answer = std::make_shared<Answer<T>>();
        try {
            std::thread([&fileSystem, volumeKey, question = std::move(question), failed, answer] {
                T value = failed;
                try {
                    value = question(fileSystem);
                } catch (...) {
                    value = failed;
                }
                // Forgotten before the answer is published: whoever sees the answer may ask the
                // volume again at once, and once nothing is pending the file system is free to go.
                Forget(fileSystem, volumeKey);
                {
                    const std::lock_guard lock(answer->mutex);
                    answer->value = value;
                }
                answer->ready.notify_all();
            }).detach();
        } catch (const std::system_error&) {
            Forget(fileSystem, volumeKey);
            return nullptr;
        }
        return answer;
    }

    template <class T> std::optional<T> Await(const AnswerPtr<T>& answer, Clock::time_point deadline)
    {
        if (!answer)
            return std::nullopt;
        std::unique_lock lock(answer->mutex);
        answer->ready.wait_until(lock, deadline, [&answer] { return answer->value.has_value(); });
        return answer->value;
    }

    // The volume a question is about; a path under no listed volume is keyed by its root so that
    // it still has a key of its own.
    std::string VolumeKey(FileSystem& fileSystem, const std::vector<VolumeInfo>& volumes, const std::string& path)
    {
        std::string root = VolumeRootContaining(fileSystem.Style(), volumes, path);
        if (root.empty())
            root = fileSystem.Style().RootOf(path);
        return root;
    }

} // namespace

FolderProbe::FolderProbe(FileSystem& fileSystem, std::chrono::milliseconds limit)
    : m_fileSystem(fileSystem)
    , m_limit(limit)
{
}

ProbeAnswer FolderProbe::IsFolder(const std::string& path)
{
    const auto deadline = Clock::now() + m_limit;
    const std::string key = VolumeKey(m_fileSystem, m_fileSystem.Volumes(), path);
    const auto answer
        = Await(Ask<bool>(
                    m_fileSystem, key, [path](FileSystem& fileSystem) { return fileSystem.FolderExists(path); }, false),
            deadline);
    if (!answer)
        return ProbeAnswer::paNoAnswer;
    return *answer ? ProbeAnswer::paFolder : ProbeAnswer::paNoFolder;
}

std::optional<std::int64_t> FolderProbe::FreeBytes(const std::string& volumeRoot)
{
    return FreeBytesOfEach({ volumeRoot }).front();
}

std::vector<std::optional<std::int64_t>> FolderProbe::FreeBytesOfEach(const std::vector<std::string>& volumeRoots)
{
    const auto deadline = Clock::now() + m_limit;
    const std::vector<VolumeInfo> volumes = m_fileSystem.Volumes();
    std::vector<AnswerPtr<std::int64_t>> asked;
    asked.reserve(volumeRoots.size());
    for (const std::string& root : volumeRoots) {
        asked.push_back(Ask<std::int64_t>(
            m_fileSystem, VolumeKey(m_fileSystem, volumes, root),
            [root](FileSystem& fileSystem) { return fileSystem.FreeBytes(root); }, -1));
    }
    std::vector<std::optional<std::int64_t>> answers;
    answers.reserve(asked.size());
    for (const auto& answer : asked)
        answers.push_back(Await(answer, deadline));
    return answers;
}

std::size_t FolderProbe::PendingProbes() const
{
    Registry& registry = TheRegistry();
    const std::lock_guard lock(registry.mutex);
    std::size_t count = 0;
    for (const auto& [fileSystem, key] : registry.pending) {
        if (fileSystem == &m_fileSystem)
            ++count;
    }
    return count;
}

} // namespace tarvo
