#include "ShellNamespace.h"

#include "ShellTypes.h"

#include <algorithm>

namespace tarvo
{

namespace
{

    // A path split for comparison: its root as a key and its components, both ASCII case folded
    // under the Windows style, where names match whatever their case.
    struct PathParts {
        std::string root;
        std::vector<std::string> components;
    };

    char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

    std::string Folded(std::string_view text, const PathStyle& style)
    {
        std::string folded(text);
        if (style.GetKind() == PathStyle::pkWindows)
            std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
        return folded;
    }

    std::optional<PathParts> Split(std::string_view path, const PathStyle& style, bool fold)
    {
        const std::string root = style.RootOf(path);
        if (root.empty())
            return std::nullopt;
        PathParts parts;
        parts.root = fold ? Folded(root.substr(0, root.size() - 1), style) : root;
        for (std::string_view part : style.Components(path.substr(root.size())))
            parts.components.emplace_back(part);
        if (fold) {
            for (std::string& part : parts.components)
                part = Folded(part, style);
        }
        return parts;
    }

    bool IsSafeName(std::string_view name, const PathStyle& style)
    {
        if (name.empty() || name == "." || name == "..")
            return false;
        return std::none_of(name.begin(), name.end(), [&style](char c) { return c == '\0' || style.IsSeparator(c); });
    }

    bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

    // Natural order with ASCII case folded: runs of digits compare by value, "d2" before "d10".
    int NaturalCompare(std::string_view a, std::string_view b)
    {
        std::size_t i = 0;
        std::size_t j = 0;
        while (i < a.size() && j < b.size()) {
            const auto ca = static_cast<unsigned char>(a[i]);
            const auto cb = static_cast<unsigned char>(b[j]);
            if (IsDigit(ca) && IsDigit(cb)) {
                std::size_t endA = i;
                std::size_t endB = j;
                while (endA < a.size() && IsDigit(static_cast<unsigned char>(a[endA])))
                    ++endA;
                while (endB < b.size() && IsDigit(static_cast<unsigned char>(b[endB])))
                    ++endB;
                std::string_view runA = a.substr(i, endA - i);
                std::string_view runB = b.substr(j, endB - j);
                while (runA.size() > 1 && runA.front() == '0')
                    runA.remove_prefix(1);
                while (runB.size() > 1 && runB.front() == '0')
                    runB.remove_prefix(1);
                if (runA.size() != runB.size())
                    return runA.size() < runB.size() ? -1 : 1;
                if (const int order = runA.compare(runB); order != 0)
                    return order < 0 ? -1 : 1;
                i = endA;
                j = endB;
                continue;
            }
            const auto fa = static_cast<unsigned char>(FoldAscii(static_cast<char>(ca)));
            const auto fb = static_cast<unsigned char>(FoldAscii(static_cast<char>(cb)));
            if (fa != fb)
                return fa < fb ? -1 : 1;
            ++i;
            ++j;
        }
        if (i < a.size() || j < b.size())
            return i < a.size() ? 1 : -1;
        const int raw = a.compare(b);
        return raw < 0 ? -1 : (raw > 0 ? 1 : 0);
    }

    int KindRank(ItemKind kind)
    {
        switch (kind) {
        case ItemKind::ikHome:
            return 0;
        case ItemKind::ikComputer:
            return 1;
        case ItemKind::ikVolume:
            return 2;
        case ItemKind::ikFolder:
            return 3;
        case ItemKind::ikNonFolder:
            return 4;
        }
        return 5;
    }

    constexpr std::uint32_t kFolderAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;

    std::uint32_t AttributesOfEntry(const EntryDetails& details, bool remote)
    {
        std::uint32_t attributes = SFGAO_FILESYSTEM;
        if (details.compressed)
            attributes |= SFGAO_COMPRESSED;
        if (details.kind == EntryKind::ekLink)
            attributes |= SFGAO_LINK;
        if (details.kind == EntryKind::ekFolder || details.linksToFolder) {
            attributes |= kFolderAttributes;
            // A folder's links are "." in itself, its name in its parent and ".." in each
            // subfolder: 2 means none. File systems that do not count (1) and remote volumes,
            // which are not asked, are assumed to have some; a pseudo file system is never opened.
            if (!details.pseudoMount && (remote || details.linkCount != 2))
                attributes |= SFGAO_HASSUBFOLDER;
        }
        return attributes;
    }

    // Runs on the volume's worker: nothing here may touch the namespace object.
    FolderListing ListEntries(FileSystem& files, const std::string& path, std::uint32_t flags, bool remote)
    {
        FolderListing listing;
        const FolderHandlePtr folder = files.OpenFolder(path);
        if (!folder) {
            listing.result = ListingResult::lrUnreadable;
            return listing;
        }
        const bool wantFolders = (flags & SHCONTF_FOLDERS) != 0;
        const bool wantOthers = (flags & SHCONTF_NONFOLDERS) != 0;
        const bool wantHidden = (flags & SHCONTF_INCLUDEHIDDEN) != 0;
        std::vector<DirEntry> batch;
        while (files.ReadBatch(*folder, batch)) {
            for (const DirEntry& entry : batch) {
                if (!wantHidden && entry.name.front() == '.')
                    continue;
                EntryDetails details;
                details.kind = entry.kind;
                // Plain files and special files are settled by the listing; folders need their
                // link count, links their target. A remote volume is asked only what it must.
                const bool settled = entry.kind == EntryKind::ekFile || entry.kind == EntryKind::ekOther
                    || (remote && entry.kind == EntryKind::ekFolder);
                if (settled && entry.kind != EntryKind::ekFolder && !wantOthers)
                    continue;
                if (!settled && !files.InspectEntry(*folder, entry.name, !remote, details))
                    continue; // gone since the listing
                const bool isFolder = details.kind == EntryKind::ekFolder || details.linksToFolder;
                if (isFolder ? !wantFolders : !wantOthers)
                    continue;
                listing.items.push_back(
                    ShellItem { TItemIdList::Record(isFolder ? ItemKind::ikFolder : ItemKind::ikNonFolder, entry.name),
                        AttributesOfEntry(details, remote) });
            }
            batch.clear();
        }
        return listing;
    }

} // namespace

TShellNamespace::TShellNamespace(FileSystem& files, std::string homeFolder)
    : m_files(files)
    , m_home(std::move(homeFolder))
{
    (void)RefreshVolumes();
}

TShellNamespace::VolumeChanges TShellNamespace::RefreshVolumes()
{
    std::vector<VolumeInfo> now = m_files.Volumes();
    const auto contains = [this](const std::vector<VolumeInfo>& volumes, const std::string& root) {
        return std::any_of(volumes.begin(), volumes.end(),
            [this, &root](const VolumeInfo& volume) { return KeyOfRoot(volume.root) == KeyOfRoot(root); });
    };
    VolumeChanges changes;
    for (const VolumeInfo& volume : now) {
        if (!contains(m_volumes, volume.root))
            changes.added.push_back(volume.root);
    }
    for (const VolumeInfo& volume : m_volumes) {
        if (!contains(now, volume.root))
            changes.removed.push_back(volume.root);
    }
    m_volumes = std::move(now);
    return changes;
}

void TShellNamespace::RefreshVolumeDetails()
{
    const std::vector<VolumeInfo> now = m_files.Volumes();
    for (VolumeInfo& listed : m_volumes) {
        const auto found = std::find_if(now.begin(), now.end(),
            [this, &listed](const VolumeInfo& volume) { return KeyOfRoot(volume.root) == KeyOfRoot(listed.root); });
        if (found != now.end())
            listed = *found;
    }
}

std::string TShellNamespace::KeyOfRoot(const std::string& root) const
{
    if (Style().GetKind() == PathStyle::pkWindows && Style().IsRoot(root)) {
        const char letter
            = root.front() >= 'a' && root.front() <= 'z' ? static_cast<char>(root.front() - 'a' + 'A') : root.front();
        return { letter, ':', '\\' };
    }
    return Style().ExcludeTrailingSeparator(root);
}

TItemIdList TShellNamespace::HomeList() { return TItemIdList::Record(ItemKind::ikHome); }

TItemIdList TShellNamespace::ComputerList() { return TItemIdList::Record(ItemKind::ikComputer); }

TItemIdList TShellNamespace::VolumeList(const std::string& root) const
{
    return ComputerList().Combined(TItemIdList::Record(ItemKind::ikVolume, root));
}

bool TShellNamespace::IsValidAbsolute(const TItemIdList& absolute) const
{
    const std::vector<ItemRecord> records = absolute.Records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ItemRecord& record = records[i];
        switch (record.kind) {
        case ItemKind::ikHome:
        case ItemKind::ikComputer:
            if (i != 0)
                return false;
            break;
        case ItemKind::ikVolume:
            if (i != 1 || records[0].kind != ItemKind::ikComputer || !Style().IsAbsolute(record.payload)
                || record.payload.find('\0') != std::string_view::npos)
                return false;
            for (std::string_view part :
                Style().Components(record.payload.substr(Style().RootOf(record.payload).size()))) {
                if (part == "." || part == "..")
                    return false;
            }
            break;
        case ItemKind::ikFolder:
        case ItemKind::ikNonFolder:
            if (i == 0 || records[i - 1].kind == ItemKind::ikComputer || records[i - 1].kind == ItemKind::ikNonFolder
                || !IsSafeName(record.payload, Style()))
                return false;
            break;
        }
    }
    return true;
}

std::string TShellNamespace::PathOf(const TItemIdList& absolute) const
{
    if (!IsValidAbsolute(absolute))
        return {};
    const std::vector<ItemRecord> records = absolute.Records();
    std::string path;
    for (const ItemRecord& record : records) {
        switch (record.kind) {
        case ItemKind::ikHome:
            path = m_home;
            break;
        case ItemKind::ikComputer:
            break;
        case ItemKind::ikVolume:
            path = std::string(record.payload);
            break;
        case ItemKind::ikFolder:
        case ItemKind::ikNonFolder:
            if (path.empty())
                return {};
            path = Style().Join(path, record.payload);
            break;
        }
    }
    return path;
}

std::string TShellNamespace::DisplayNameOf(const TItemIdList& absolute) const
{
    if (absolute.IsEmpty())
        return "Desktop";
    const ItemRecord last = absolute.Last();
    switch (last.kind) {
    case ItemKind::ikHome:
        return "Home";
    case ItemKind::ikComputer:
        return "Computer";
    case ItemKind::ikVolume:
        if (const VolumeInfo* volume = VolumeOfItem(absolute); volume && !volume->label.empty())
            return volume->label + " (" + std::string(last.payload) + ")";
        return std::string(last.payload);
    case ItemKind::ikFolder:
    case ItemKind::ikNonFolder:
        break;
    }
    return std::string(last.payload);
}

const VolumeInfo* TShellNamespace::VolumeOfItem(const TItemIdList& absolute) const
{
    if (absolute.IsEmpty() || absolute.Last().kind != ItemKind::ikVolume)
        return nullptr;
    const std::string key = KeyOfRoot(std::string(absolute.Last().payload));
    const auto found = std::find_if(m_volumes.begin(), m_volumes.end(),
        [this, &key](const VolumeInfo& volume) { return KeyOfRoot(volume.root) == key; });
    return found == m_volumes.end() ? nullptr : &*found;
}

const VolumeInfo* TShellNamespace::VolumeOfPath(const std::string& path) const
{
    return VolumeContaining(Style(), m_volumes, path);
}

bool TShellNamespace::IsVolumeRootPath(const std::string& path) const
{
    const VolumeInfo* volume = VolumeOfPath(path);
    const std::optional<PathParts> parts = Split(path, Style(), true);
    const std::optional<PathParts> root = volume ? Split(volume->root, Style(), true) : std::nullopt;
    return parts && root && parts->components.size() == root->components.size();
}

std::string TShellNamespace::VolumeKeyOfPath(const std::string& path) const
{
    const VolumeInfo* volume = VolumeOfPath(path);
    return volume ? KeyOfRoot(volume->root) : std::string();
}

std::string TShellNamespace::WorkerKeyOf(const TItemIdList& absolute) const
{
    const std::string path = PathOf(absolute);
    // Items without a path need no file system; they share one worker that never hangs.
    return path.empty() ? std::string() : VolumeKeyOfPath(path);
}

int TShellNamespace::CompareIDs(const TItemIdList& a, const TItemIdList& b) const
{
    if (a.IsEmpty() || b.IsEmpty())
        return a.IsEmpty() == b.IsEmpty() ? 0 : (a.IsEmpty() ? -1 : 1);
    const ItemRecord left = a.Last();
    const ItemRecord right = b.Last();
    if (const int rank = KindRank(left.kind) - KindRank(right.kind); rank != 0)
        return rank < 0 ? -1 : 1;
    if (left.kind == ItemKind::ikVolume) {
        const auto indexOf = [this](std::string_view root) {
            const std::string key = KeyOfRoot(std::string(root));
            const auto found = std::find_if(m_volumes.begin(), m_volumes.end(),
                [this, &key](const VolumeInfo& volume) { return KeyOfRoot(volume.root) == key; });
            return static_cast<std::size_t>(found - m_volumes.begin()); // unlisted ones last
        };
        const std::size_t leftIndex = indexOf(left.payload);
        const std::size_t rightIndex = indexOf(right.payload);
        if (leftIndex != rightIndex)
            return leftIndex < rightIndex ? -1 : 1;
    }
    return NaturalCompare(left.payload, right.payload);
}

std::optional<std::uint32_t> TShellNamespace::FixedAttributes(const TItemIdList& absolute) const
{
    if (absolute.IsEmpty())
        return SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
    switch (absolute.Last().kind) {
    case ItemKind::ikHome:
        return kFolderAttributes | SFGAO_HASSUBFOLDER;
    case ItemKind::ikComputer:
        return SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
    case ItemKind::ikVolume: {
        std::uint32_t attributes = kFolderAttributes | SFGAO_HASSUBFOLDER;
        const VolumeInfo* volume = VolumeOfItem(absolute);
        if (volume && (volume->kind == VolumeKind::vkRemovable || volume->kind == VolumeKind::vkCdrom))
            attributes |= SFGAO_REMOVABLE;
        return attributes;
    }
    case ItemKind::ikFolder:
    case ItemKind::ikNonFolder:
        break;
    }
    return std::nullopt;
}

std::shared_ptr<TPendingListing> TShellNamespace::StartListing(const TItemIdList& folder, std::uint32_t flags)
{
    FolderListing fixed;
    if (folder.IsEmpty() || folder == ComputerList()) {
        if ((flags & SHCONTF_FOLDERS) != 0) {
            std::vector<TItemIdList> lists;
            if (folder.IsEmpty()) {
                lists = { HomeList(), ComputerList() };
            } else {
                for (const VolumeInfo& volume : m_volumes)
                    lists.push_back(VolumeList(volume.root));
            }
            for (const TItemIdList& list : lists)
                fixed.items.push_back(ShellItem { list.LastAsList(), FixedAttributes(list).value_or(0) });
        }
        return VolumeCalls::Finished(std::move(fixed));
    }
    const std::string path = PathOf(folder);
    if (path.empty() || folder.Last().kind == ItemKind::ikNonFolder) {
        fixed.result = ListingResult::lrUnreadable;
        return VolumeCalls::Finished(std::move(fixed));
    }
    const VolumeInfo* volume = VolumeOfPath(path);
    const bool remote = volume && volume->kind == VolumeKind::vkRemote;
    FileSystem& files = m_files;
    auto call = m_calls.Start<FolderListing>(volume ? KeyOfRoot(volume->root) : std::string(),
        [&files, path, flags, remote] { return ListEntries(files, path, flags, remote); });
    if (!call) {
        fixed.result = ListingResult::lrNotResponding;
        return VolumeCalls::Finished(std::move(fixed));
    }
    return call;
}

FolderListing TShellNamespace::List(const TItemIdList& folder, std::uint32_t flags, std::chrono::milliseconds limit)
{
    const std::shared_ptr<TPendingListing> call = StartListing(folder, flags);
    FolderListing listing;
    if (!call->Wait(limit)) {
        call->GiveUp();
        listing.result = ListingResult::lrNotResponding;
        return listing;
    }
    std::optional<FolderListing> result = call->Take();
    if (!result)
        listing.result = ListingResult::lrUnreadable; // the file system threw
    return result ? std::move(*result) : listing;
}

std::optional<std::uint32_t> TShellNamespace::AttributesOf(const TItemIdList& absolute, std::chrono::milliseconds limit)
{
    if (std::optional<std::uint32_t> fixed = FixedAttributes(absolute))
        return fixed;
    const std::string path = PathOf(absolute);
    if (path.empty())
        return std::nullopt;
    const VolumeInfo* volume = VolumeOfPath(path);
    const bool remote = volume && volume->kind == VolumeKind::vkRemote;
    FileSystem& files = m_files;
    const std::optional<std::optional<std::uint32_t>> answer = m_calls.Run<std::optional<std::uint32_t>>(
        WorkerKeyOf(absolute), limit, [&files, path, remote]() -> std::optional<std::uint32_t> {
            EntryDetails details;
            if (!files.InspectPath(path, !remote, details))
                return std::nullopt;
            return AttributesOfEntry(details, remote);
        });
    return answer.value_or(std::nullopt);
}

std::optional<TItemIdList> TShellNamespace::ParsePath(const std::string& path, std::chrono::milliseconds limit)
{
    const VolumeInfo* volume = VolumeOfPath(path);
    const std::optional<PathParts> parts = Split(path, Style(), false);
    const std::optional<PathParts> root = volume ? Split(volume->root, Style(), false) : std::nullopt;
    if (!volume || !parts || !root)
        return std::nullopt;
    TItemIdList list = VolumeList(volume->root);
    for (std::size_t i = root->components.size(); i < parts->components.size(); ++i) {
        const std::string& name = parts->components[i];
        if (!IsSafeName(name, Style()))
            return std::nullopt;
        list = list.Combined(TItemIdList::Record(ItemKind::ikFolder, name));
    }
    FileSystem& files = m_files;
    const std::string folderPath = PathOf(list);
    const std::optional<bool> exists = m_calls.Run<bool>(
        KeyOfRoot(volume->root), limit, [&files, folderPath] { return files.FolderExists(folderPath); });
    if (!exists.value_or(false))
        return std::nullopt;
    return list;
}

bool TShellNamespace::Exists(const TItemIdList& absolute, std::chrono::milliseconds limit)
{
    if (!IsValidAbsolute(absolute))
        return false;
    if (absolute.IsEmpty() || absolute == ComputerList())
        return true;
    if (absolute.Last().kind == ItemKind::ikVolume)
        return VolumeOfItem(absolute) != nullptr;
    if (absolute.Last().kind == ItemKind::ikNonFolder)
        return AttributesOf(absolute, limit).has_value();
    FileSystem& files = m_files;
    const std::string path = PathOf(absolute);
    return m_calls.Run<bool>(WorkerKeyOf(absolute), limit, [&files, path] { return files.FolderExists(path); })
        .value_or(false);
}

bool TShellNamespace::IsVolumeReady(const std::string& volumeKey, std::chrono::milliseconds limit)
{
    std::string root;
    if (Style().GetKind() == PathStyle::pkWindows) {
        const char letter = volumeKey.size() == 1 ? volumeKey.front() : '\0';
        if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
            throw EConvertError("Not a valid drive ID");
        root = KeyOfRoot(std::string { letter, ':', '\\' });
    } else {
        const auto listed
            = std::find_if(m_volumes.begin(), m_volumes.end(), [this, &volumeKey](const VolumeInfo& volume) {
                  return Style().IsAbsolute(volumeKey) && KeyOfRoot(volume.root) == KeyOfRoot(volumeKey);
              });
        if (listed == m_volumes.end())
            throw EConvertError("Not a valid drive ID");
        root = listed->root;
    }
    FileSystem& files = m_files;
    return m_calls.Run<bool>(KeyOfRoot(root), limit, [&files, root] { return files.FreeBytes(root) != -1; })
        .value_or(false);
}

} // namespace tarvo
