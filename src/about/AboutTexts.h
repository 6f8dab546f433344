#pragma once

#include "SystemInfo.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace tarvo
{

// The texts of the about window's system report. Figures are 64-bit: memory and disks of
// today's machines overflow 32 bits in KB and MB.

// bytes / unit rounded to the nearest whole number, halves to the even neighbour.
[[nodiscard]] std::uint64_t RoundedQuotient(std::uint64_t bytes, std::uint64_t unit);

// "Tot: 65536 KB     Avl: 20480 KB"
[[nodiscard]] QString MemoryLine(const MemoryStatus& memory);
// "6.1   Build : 0"
[[nodiscard]] QString OSVersionLine(const KernelVersion& version);
// "/home: 1234 MB  ", or "/mnt/nas: ? MB  " when the free space is unknown.
[[nodiscard]] QString DiskEntry(const VolumeFreeSpace& disk);

struct DiskLines {
    QString first; // the entries that fit in the width, at least the first one
    QString second; // the rest, unshortened
    QString all; // every entry on a line of its own, for the tool tip
};

// Splits the entries of the disks over the window's two disk lines: the first takes entries
// while textWidth says they fit in availableWidth, the second takes the rest.
[[nodiscard]] DiskLines SplitDiskLines(
    const std::vector<VolumeFreeSpace>& disks, const std::function<int(const QString&)>& textWidth, int availableWidth);

} // namespace tarvo
