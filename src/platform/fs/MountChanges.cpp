#include "MountChanges.h"

#include <algorithm>
#include <map>

namespace tarvo
{

namespace
{

    // Mount point -> id of the mount one sees there.
    std::map<std::string, int> ReachableMounts(const MountTable& table)
    {
        std::map<std::string, int> mounts;
        const std::vector<MountEntry>& entries = table.Entries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!table.IsHidden(i))
                mounts[entries[i].mountPoint] = entries[i].mountId;
        }
        return mounts;
    }

} // namespace

std::vector<std::string> ChangedMountPoints(const MountTable& before, const MountTable& after)
{
    const std::map<std::string, int> old = ReachableMounts(before);
    const std::map<std::string, int> now = ReachableMounts(after);
    std::vector<std::string> changed;
    for (const auto& [point, id] : old) {
        const auto found = now.find(point);
        if (found == now.end() || found->second != id)
            changed.push_back(point);
    }
    for (const auto& [point, id] : now) {
        if (!old.contains(point))
            changed.push_back(point);
    }
    std::sort(changed.begin(), changed.end());
    return changed;
}

} // namespace tarvo
