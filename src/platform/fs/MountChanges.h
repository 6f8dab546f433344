#pragma once

#include "MountTable.h"

#include <string>
#include <vector>

namespace tarvo
{

// The mount points whose reachable mount differs between two tables (mounted, unmounted, or
// mounted over with another file system), sorted. Pseudo file systems count: a folder that
// becomes /proc must stop being listed as a folder.
[[nodiscard]] std::vector<std::string> ChangedMountPoints(const MountTable& before, const MountTable& after);

} // namespace tarvo
