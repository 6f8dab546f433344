#include "FolderProbe.h"

#include <map>
#include <mutex>
#include <utility>

namespace tarvo
{

namespace
{

    using Clock = std::chrono::steady_clock;

    // The workers of each file system that has a probe: the window and the about box asking
    // about the same dead share find its one stuck call. Entries go with the last probe.
    std::shared_ptr<VolumeCalls> CallsOf(const FileSystem& fileSystem)
    {
        // Never destroyed: a probe may still be destroyed while the process exits.
        static auto* mutex = new std::mutex;
        static auto* shared = new std::map<const FileSystem*, std::weak_ptr<VolumeCalls>>;
        const std::lock_guard lock(*mutex);
        std::erase_if(*shared, [](const auto& entry) { return entry.second.expired(); });
        std::weak_ptr<VolumeCalls>& slot = (*shared)[&fileSystem];
        std::shared_ptr<VolumeCalls> calls = slot.lock();
        if (!calls) {
            calls = std::make_shared<VolumeCalls>();
            slot = calls;
        }
        return calls;
    }

    // The answer of a call by the deadline; nullopt when the volume is stuck or the deadline
    // passed (the volume is then stuck until the call returns). failed is the answer when the
    // file system threw, which its contract rules out.
    template <class T>
    std::optional<T> Await(const std::shared_ptr<TPendingResult<T>>& call, Clock::time_point deadline, T failed)
    {
        if (!call)
            return std::nullopt;
        if (!call->WaitUntil(deadline)) {
            call->GiveUp();
            return std::nullopt;
        }
        return call->Take().value_or(failed);
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
    , m_calls(CallsOf(fileSystem))
{
}

ProbeAnswer FolderProbe::IsFolder(const std::string& path)
{
    const auto deadline = Clock::now() + m_limit;
    FileSystem& files = m_fileSystem;
    const auto call = m_calls->Start<bool>(
        VolumeKey(files, files.Volumes(), path), [&files, path] { return files.FolderExists(path); });
    const std::optional<bool> answer = Await(call, deadline, false);
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
    FileSystem& files = m_fileSystem;
    const std::vector<VolumeInfo> volumes = files.Volumes();
    std::vector<std::shared_ptr<TPendingResult<std::int64_t>>> asked;
    asked.reserve(volumeRoots.size());
    for (const std::string& root : volumeRoots) {
        asked.push_back(m_calls->Start<std::int64_t>(
            VolumeKey(files, volumes, root), [&files, root] { return files.FreeBytes(root); }));
    }
    std::vector<std::optional<std::int64_t>> answers;
    answers.reserve(asked.size());
    for (const auto& call : asked)
        answers.push_back(Await(call, deadline, std::int64_t { -1 }));
    return answers;
}

} // namespace tarvo
