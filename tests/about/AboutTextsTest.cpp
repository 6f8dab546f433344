#include "AboutTexts.h"
#include "AboutTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tarvo
{
namespace
{

    TEST(AboutTexts, QuotientsRoundHalvesToEvenWithoutOverflow)
    {
        struct Row {
            std::uint64_t bytes;
            std::uint64_t unit;
            std::uint64_t rounded;
        };
        constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
        const Row rows[] = {
            { 511, 1024, 0 },
            { 512, 1024, 0 }, // half: 0 is even
            { 513, 1024, 1 },
            { 1536, 1024, 2 }, // half: 2 is even
            { 2560, 1024, 2 },
            { 3 * 1024 * 1024 + 512 * 1024, 1024 * 1024, 4 },
            { kMax, 1024, kMax / 1024 + 1 },
            { 5ull << 40, 1024 * 1024, 5ull << 20 },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.bytes);
            EXPECT_EQ(RoundedQuotient(row.bytes, row.unit), row.rounded);
        }
    }

    TEST(AboutTexts, LinesOfTheSystemReport)
    {
        EXPECT_EQ(MemoryLine({ 64ull << 20, 20ull << 20 }), QStringLiteral("Tot: 65536 KB     Avl: 20480 KB"));
        EXPECT_EQ(MemoryLine({ 64ull << 30, 1 }), QStringLiteral("Tot: 67108864 KB     Avl: 0 KB"));
        EXPECT_EQ(OSVersionLine({ 6, 1, 0 }), QStringLiteral("6.1   Build : 0"));
        EXPECT_EQ(OSVersionLine({ 5, 15, 4294967296 }), QStringLiteral("5.15   Build : 4294967296"));
        EXPECT_EQ(DiskEntry({ "/", 3LL << 40 }), QStringLiteral("/: 3145728 MB  ")) << "3 TiB needs more than 32 bits";
        EXPECT_EQ(DiskEntry({ "/mnt/nas", std::nullopt }), QStringLiteral("/mnt/nas: ? MB  "));
        EXPECT_EQ(DiskEntry({ "/mnt/dvd", -1 }), QStringLiteral("/mnt/dvd: ? MB  "));
        EXPECT_EQ(DiskEntry({ "/media/caf\xc3\xa9", 0 }), QStringLiteral("/media/caf\u00e9: 0 MB  "));
    }

    TEST(AboutTexts, DiskLinesFillTheFirstLineThenTheSecond)
    {
        const auto width = [](const QString& text) { return static_cast<int>(text.size()); }; // one per character
        const std::vector<VolumeFreeSpace> disks
            = { { "/", 1 << 20 }, { "/boot", 2 << 20 }, { "/home", std::nullopt }, { "/srv", 4 << 20 } };
        // "/: 1 MB  " is 9 wide, "/boot: 2 MB  " 13, "/home: ? MB  " 13, "/srv: 4 MB  " 12.
        struct Row {
            int available;
            const char* first;
            const char* second;
        };
        const Row rows[] = {
            { 100, "/: 1 MB  /boot: 2 MB  /home: ? MB  /srv: 4 MB  ", "" },
            { 35, "/: 1 MB  /boot: 2 MB  /home: ? MB  ", "/srv: 4 MB  " },
            { 34, "/: 1 MB  /boot: 2 MB  ", "/home: ? MB  /srv: 4 MB  " },
            { 3, "/: 1 MB  ", "/boot: 2 MB  /home: ? MB  /srv: 4 MB  " }, // the first entry always goes first
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.available);
            const DiskLines lines = SplitDiskLines(disks, width, row.available);
            EXPECT_EQ(lines.first, QString::fromLatin1(row.first));
            EXPECT_EQ(lines.second, QString::fromLatin1(row.second));
            EXPECT_EQ(lines.all, QStringLiteral("/: 1 MB\n/boot: 2 MB\n/home: ? MB\n/srv: 4 MB"));
        }
        // Once the first line is full, a later short entry does not jump back into it.
        const DiskLines lines = SplitDiskLines({ { "/", 1 << 20 }, { "/a-very-long-one", 1 }, { "/x", 1 } }, width, 20);
        EXPECT_EQ(lines.first, QStringLiteral("/: 1 MB  "));
        EXPECT_EQ(lines.second, QStringLiteral("/a-very-long-one: 0 MB  /x: 0 MB  "));
    }

} // namespace
} // namespace tarvo
