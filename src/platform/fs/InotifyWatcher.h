#pragma once

#include "FolderWatcher.h"

#include <cstddef>
#include <memory>

namespace tarvo
{

// The host's change notifications: one inotify instance for every watched folder, and the
// mount table, which the kernel signals as urgent data on /proc/self/mountinfo.
[[nodiscard]] std::unique_ptr<FolderWatcher> MakeInotifyWatcher();

// A quarter of the user's inotify watch limit (fs.inotify.max_user_watches), which every program
// of the user shares; 2,048 when the limit cannot be read.
[[nodiscard]] std::size_t InotifyWatchBudget();

} // namespace tarvo
