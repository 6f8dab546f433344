#pragma once

// The folder tree's vocabulary over the namespace: lists, paths, names, icons, attributes and
// drive tests. Nothing here keeps state of its own; the icons live in the process-wide
// TSystemImageList.

#include "ItemIdList.h"
#include "RootFolder.h"
#include "ShellFolder.h"
#include "ShellNamespace.h"
#include "SystemImageList.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvo
{

// How long the tree waits for a volume: a drive test, a search through one folder, and an
// expansion before it shows a placeholder and lets the window go on.
inline constexpr std::chrono::milliseconds kDriveReadyLimit { 1000 };
inline constexpr std::chrono::milliseconds kSearchLimit { 2000 };
inline constexpr std::chrono::milliseconds kPlaceholderDelay { 200 };

// Lists are values: what the shell's allocator did by hand (clone, combine, free on every
// path, failures included) is their copy, their combination and their destructor here. The
// manager keeps the operations under their names for code that reads as the shell's.
class TPidlManager
{
public:
    [[nodiscard]] static TItemIdList Clone(const TItemIdList& list) { return list; }
    [[nodiscard]] static TItemIdList CloneFirst(const TItemIdList& list) { return list.First(); }
    [[nodiscard]] static TItemIdList Combine(const TItemIdList& parent, const TItemIdList& relative)
    {
        return parent.Combined(relative);
    }
};

// The item's whole path, however long (the shell cut it at 260 characters, so a deep folder
// read as another); empty for items without one.
[[nodiscard]] std::string PathFromPIDL(const TShellNamespace& shell, const TItemIdList& absolute);
// The item is the root of a listed volume ("C:\", "/", "/home" reached as a folder of "/").
[[nodiscard]] bool IsDriveRoot(const TShellNamespace& shell, const TItemIdList& absolute);
// The key IsDriveReady takes for a drive root: its letter under the Windows style, else its
// mount point.
[[nodiscard]] std::string DriveKeyOf(const TShellNamespace& shell, const TItemIdList& absolute);
// The volume answers within kDriveReadyLimit, asked off the GUI thread; a volume still stuck
// from an earlier call is not ready at once. "Not a valid drive ID" (EConvertError) for a key
// that names no volume.
[[nodiscard]] bool IsDriveReady(TShellNamespace& shell, const std::string& volumeKey);
// The message for a volume that is not ready: removable and optical ones lack their medium,
// any other does not respond.
[[nodiscard]] QString NotReadyMessage(const TShellNamespace& shell, const TItemIdList& absolute);
// True when the folder reports any bit of mask for the item; false without a folder, a list, or
// an answer.
[[nodiscard]] bool HasAttribute(std::uint32_t mask, const TShellFolder* folder, const TItemIdList* relative);
// The item still exists.
[[nodiscard]] bool isValidPIDL(TShellNamespace& shell, const TItemIdList& absolute);
// Forgets what is known of the volumes' media (labels, kinds).
void FlushCache(TShellNamespace& shell);
// The list of an existing folder's path (TShellNamespace::ParsePath, waiting kSearchLimit).
[[nodiscard]] std::optional<TItemIdList> GetItemIDFromPath(TShellNamespace& shell, const std::string& path);
// Where a root folder lives: Computer, Home, the desktop's standard folders; the Desktop for
// folders this system has no counterpart of and for one that does not exist. rCustom is the
// caller's to parse.
[[nodiscard]] TItemIdList SpecialFolderLocation(TShellNamespace& shell, TRootFolder folder);

// Icon indexes into TSystemImageList.
[[nodiscard]] int GetPIDLIconIndex(const TShellNamespace& shell, const TItemIdList& absolute, bool open);
// -1 without a folder.
[[nodiscard]] int GetShellIconIndex(const TShellFolder* folder, const TItemIdList& relative, bool open);
// -1 for a path that does not parse.
[[nodiscard]] int GetPathIconIndex(TShellNamespace& shell, const std::string& path, bool open);

// Names as shown: UTF-8 decoded, a replacement character for each byte that is none.
[[nodiscard]] QString GetPIDLDisplayName(const TShellNamespace& shell, const TItemIdList& absolute);
[[nodiscard]] QString GetDisplayName(const TShellFolder& folder, const TItemIdList& relative);
[[nodiscard]] QString DisplayText(const std::string& bytes);

} // namespace tarvo
