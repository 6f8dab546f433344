#include "AboutTexts.h"

namespace tarvo
{

std::uint64_t RoundedQuotient(std::uint64_t bytes, std::uint64_t unit)
{
    const std::uint64_t quotient = bytes / unit;
    const std::uint64_t remainder = bytes % unit;
    // Compared as remainder against unit - remainder, so that nothing overflows.
    if (remainder > unit - remainder || (remainder == unit - remainder && quotient % 2 == 1))
        return quotient + 1;
    return quotient;
}

QString MemoryLine(const MemoryStatus& memory)
{
    return QStringLiteral("Tot: %1 KB     Avl: %2 KB")
        .arg(RoundedQuotient(memory.totalBytes, 1024))
        .arg(RoundedQuotient(memory.availableBytes, 1024));
}

QString OSVersionLine(const KernelVersion& version)
{
    return QStringLiteral("%1.%2   Build : %3").arg(version.major).arg(version.minor).arg(version.build);
}

QString DiskEntry(const VolumeFreeSpace& disk)
{
    // Mount points are bytes; names that are not UTF-8 still show, with replacement marks.
    const QString place = QString::fromUtf8(disk.mountPoint);
    if (!disk.freeBytes || *disk.freeBytes < 0)
        return QStringLiteral("%1: ? MB  ").arg(place);
    return QStringLiteral("%1: %2 MB  ")
        .arg(place)
        .arg(RoundedQuotient(static_cast<std::uint64_t>(*disk.freeBytes), 1024 * 1024));
}

DiskLines SplitDiskLines(
    const std::vector<VolumeFreeSpace>& disks, const std::function<int(const QString&)>& textWidth, int availableWidth)
{
    DiskLines lines;
    bool firstIsFull = false;
    for (const VolumeFreeSpace& disk : disks) {
        const QString entry = DiskEntry(disk);
        if (!firstIsFull && (lines.first.isEmpty() || textWidth(lines.first + entry) <= availableWidth))
            lines.first += entry;
        else {
            firstIsFull = true;
            lines.second += entry;
        }
        if (!lines.all.isEmpty())
            lines.all += QLatin1Char('\n');
        lines.all += entry.trimmed();
    }
    return lines;
}

} // namespace tarvo
