#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tarvo
{

// The history file's place: $XDG_STATE_HOME/tarvo/history.sqlite, else
// ~/.local/state/tarvo/history.sqlite (a relative $XDG_STATE_HOME is invalid and ignored);
// empty when no home folder is known.
[[nodiscard]] std::string DefaultHistoryFileName();

// What lies at the history file's name before SQLite is asked to open it.
enum class HistoryFileState : std::uint8_t {
    hfsMissing,
    hfsUsable, // a regular file that is empty or starts with SQLite's header
    hfsNotDatabase, // a regular file with other content
    hfsUnreadable, // cannot be opened or read, or is no regular file (a folder in its place)
};
struct HistoryFileCheck {
    HistoryFileState state = HistoryFileState::hfsMissing;
    std::string reason; // for hfsUnreadable and hfsNotDatabase
};
[[nodiscard]] HistoryFileCheck CheckHistoryFile(const std::string& fileName);

// Folder names are private: the folder that holds the file (and each missing folder above it)
// is made with mode 0700, and the file's own folder is set to 0700. Returns why not, or empty.
[[nodiscard]] std::string MakePrivateFolder(const std::string& folder);
// Creates the file with mode 0600 when it is missing and sets 0600 on it when it is ours;
// SQLite gives its write-ahead log and shared-memory file the same mode. Returns why not, or empty.
[[nodiscard]] std::string MakePrivateFile(const std::string& fileName);

// Renames a damaged history file, and the -wal and -shm files beside it (a log left behind
// would be played into the new file), to "<name>-damaged-YYYY-MM-DD-HHMMSS<extension>" in local
// time, numbered when that name is taken. error says why when anything stayed behind; a new
// file must then not be started (newName is set when the file itself did move).
struct MovedAside {
    std::string newName;
    std::string error;
};
[[nodiscard]] MovedAside MoveHistoryFileAside(const std::string& fileName, std::chrono::system_clock::time_point now);

// The folder part of a file name ("/a/b/history.sqlite" -> "/a/b"); "." for a bare name.
[[nodiscard]] std::string FolderOfFile(const std::string& fileName);

} // namespace tarvo
