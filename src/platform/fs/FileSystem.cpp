#include "FileSystem.h"

#include <utility>

namespace tarvo
{

namespace
{

    // Folders and special files are fully described by the listing; files and links need their
    // size, and an unknown kind needs settling.
    bool NeedsStat(EntryKind kind)
    {
        switch (kind) {
        case EntryKind::ekUnknown:
        case EntryKind::ekFile:
        case EntryKind::ekLink:
            return true;
        case EntryKind::ekFolder:
        case EntryKind::ekOther:
            return false;
        }
        return true;
    }

} // namespace

const VolumeInfo* VolumeContaining(
    const PathStyle& style, const std::vector<VolumeInfo>& volumes, std::string_view path)
{
    const VolumeInfo* best = nullptr;
    std::size_t bestDepth = 0;
    for (const VolumeInfo& volume : volumes) {
        if (!style.Holds(volume.root, path))
            continue;
        const std::size_t depth = style.Components(volume.root).size();
        if (best == nullptr || depth > bestDepth) {
            best = &volume;
            bestDepth = depth;
        }
    }
    return best;
}

bool FileSystem::ListFolder(const std::string& path, std::vector<DirEntry>& out)
{
    const FolderHandlePtr folder = OpenFolder(path);
    if (!folder)
        return false;

    // Collected apart so that a caller's vector is replaced only by a complete listing.
    std::vector<DirEntry> listing;
    std::vector<DirEntry> batch;
    while (ReadBatch(*folder, batch)) {
        for (DirEntry& entry : batch) {
            // An entry that vanished between listing and examination is simply no longer there.
            if (NeedsStat(entry.kind) && !StatEntry(*folder, entry))
                continue;
            listing.push_back(std::move(entry));
        }
        batch.clear();
    }
    out = std::move(listing);
    return true;
}

bool FileSystem::InspectPath(const std::string& path, bool askLinkCount, EntryDetails& out)
{
    const std::string name = Style().FileName(path);
    const FolderHandlePtr folder = name.empty() ? nullptr : OpenFolder(Style().Parent(path));
    return folder && InspectEntry(*folder, name, askLinkCount, out);
}

} // namespace tarvo
