#pragma once

// The shell's numbers that the namespace, the change sources and the folder tree share. They keep
// the Windows shell's names and values so that event sets and attribute masks read as there.

#include <cstdint>

namespace tarvo
{

// Item attributes (SFGAO_). Only these are ever reported.
inline constexpr std::uint32_t SFGAO_CANRENAME = 0x00000010;
inline constexpr std::uint32_t SFGAO_LINK = 0x00010000;
inline constexpr std::uint32_t SFGAO_SHARE = 0x00020000;
inline constexpr std::uint32_t SFGAO_VALIDATE = 0x01000000;
inline constexpr std::uint32_t SFGAO_REMOVABLE = 0x02000000;
inline constexpr std::uint32_t SFGAO_COMPRESSED = 0x04000000;
inline constexpr std::uint32_t SFGAO_FILESYSANCESTOR = 0x10000000;
inline constexpr std::uint32_t SFGAO_FOLDER = 0x20000000;
inline constexpr std::uint32_t SFGAO_FILESYSTEM = 0x40000000;
inline constexpr std::uint32_t SFGAO_HASSUBFOLDER = 0x80000000;

// Enumeration flags (SHCONTF_).
inline constexpr std::uint32_t SHCONTF_FOLDERS = 0x20;
inline constexpr std::uint32_t SHCONTF_NONFOLDERS = 0x40;
inline constexpr std::uint32_t SHCONTF_INCLUDEHIDDEN = 0x80;

// Change event identifiers (SHCNE_), as the change sources report them.
inline constexpr std::uint32_t SHCNE_RENAMEITEM = 0x00000001;
inline constexpr std::uint32_t SHCNE_CREATE = 0x00000002;
inline constexpr std::uint32_t SHCNE_DELETE = 0x00000004;
inline constexpr std::uint32_t SHCNE_MKDIR = 0x00000008;
inline constexpr std::uint32_t SHCNE_RMDIR = 0x00000010;
inline constexpr std::uint32_t SHCNE_MEDIAINSERTED = 0x00000020;
inline constexpr std::uint32_t SHCNE_MEDIAREMOVED = 0x00000040;
inline constexpr std::uint32_t SHCNE_DRIVEREMOVED = 0x00000080;
inline constexpr std::uint32_t SHCNE_DRIVEADD = 0x00000100;
inline constexpr std::uint32_t SHCNE_NETSHARE = 0x00000200;
inline constexpr std::uint32_t SHCNE_NETUNSHARE = 0x00000400;
inline constexpr std::uint32_t SHCNE_ATTRIBUTES = 0x00000800;
inline constexpr std::uint32_t SHCNE_UPDATEDIR = 0x00001000;
inline constexpr std::uint32_t SHCNE_UPDATEITEM = 0x00002000;
inline constexpr std::uint32_t SHCNE_SERVERDISCONNECT = 0x00004000;
inline constexpr std::uint32_t SHCNE_UPDATEIMAGE = 0x00008000;
inline constexpr std::uint32_t SHCNE_DRIVEADDGUI = 0x00010000;
inline constexpr std::uint32_t SHCNE_RENAMEFOLDER = 0x00020000;
inline constexpr std::uint32_t SHCNE_FREESPACE = 0x00040000;
inline constexpr std::uint32_t SHCNE_EXTENDED_EVENT = 0x04000000;
inline constexpr std::uint32_t SHCNE_ASSOCCHANGED = 0x08000000;
inline constexpr std::uint32_t SHCNE_DISKEVENTS = 0x0002381F;
inline constexpr std::uint32_t SHCNE_GLOBALEVENTS = 0x0C0581E0;
inline constexpr std::uint32_t SHCNE_ALLEVENTS = 0x7FFFFFFF;
inline constexpr std::uint32_t SHCNE_INTERRUPT = 0x80000000;

} // namespace tarvo
