#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo
{

// What a name in the file system is, symbolic links followed. A name below something that is not
// a folder is missing, as it is for the system's calls.
enum class ProfileNodeKind : std::uint8_t {
    pnMissing,
    pnFile, // a regular file
    pnFolder,
    pnFifo,
    pnSocket,
    pnDevice,
    pnUnknown, // it could not be examined: error says why
};

struct ProfileNode {
    ProfileNodeKind kind = ProfileNodeKind::pnMissing;
    int error = 0; // errno of a name that could not be examined, or of a file that could not be read
};

// The settings file's calls into the operating system. The host's implementation is the real one;
// tests put one in memory in its place for what cannot be staged on a real disk as root (folders
// nobody may write, read errors, a full disk).
class ProfileFileIo
{
public:
    ProfileFileIo() = default;
    virtual ~ProfileFileIo() = default;
    ProfileFileIo(const ProfileFileIo&) = delete;
    ProfileFileIo& operator=(const ProfileFileIo&) = delete;

    // Examines the name without opening it.
    [[nodiscard]] virtual ProfileNode Inspect(const std::string& path) = 0;
    // Reads a regular file whole into text (empty for any other outcome). Anything else (a FIFO,
    // a device, a folder) is reported and never opened, so this never blocks and never has an
    // effect on what the name stands for; nothing is ever opened for writing.
    [[nodiscard]] virtual ProfileNode Load(const std::string& path, std::string& text) = 0;
    // Whether the existing file may be changed: never one without any write permission bit,
    // whoever runs the program (its owner's "leave this alone").
    [[nodiscard]] virtual bool MayWriteFile(const std::string& path) = 0;
    // Whether files can be created in (and renamed into) the folder.
    [[nodiscard]] virtual bool MayWriteFolder(const std::string& folder) = 0;
    // Makes one folder (its parent must exist); 0 or the errno of the failure.
    [[nodiscard]] virtual int MakeFolder(const std::string& folder) = 0;
    // Replaces the file's whole content atomically: a kill or a full disk at any moment leaves
    // either the old file or the new one. A symbolic link stays one: the file it names (made
    // when missing) is replaced in its own folder. 0 or the errno of the failure.
    [[nodiscard]] virtual int Replace(const std::string& path, std::string_view text) = 0;
    // Removes the temporary files that a Replace of this file left behind when its process died.
    virtual void RemoveStaleTemporaries(const std::string& path) = 0;
};

// The running system's implementation.
[[nodiscard]] ProfileFileIo& HostProfileFileIo();

} // namespace tarvo
