// What the change column says: which entries match, their difference as text, which earlier
// analysis is compared with by default, and where the history file lives.

#include "HistoryChanges.h"
#include "HistoryFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

namespace tarvo
{
namespace
{

    constexpr std::int64_t kMB = 1024 * 1024;
    const char* const kMinus = "\xE2\x88\x92";

    TEST(ChangeText, IsTheDifferenceInMegabytesToOneDecimalWithTheUsersSeparators)
    {
        const FormatSettings german { ",", "." };
        struct Row {
            EntryChange change;
            std::string invariant; // FormatSettings::Invariant()
            std::string inGerman;
            std::string forMachines;
        };
        const Row rows[] = {
            { { ChangeKind::ckChanged, 12345 * kMB / 10 }, "+1,234.5", "+1.234,5", "+1234.5" },
            { { ChangeKind::ckChanged, -12 * kMB }, std::string(kMinus) + "12.0", std::string(kMinus) + "12,0",
                "-12.0" },
            { { ChangeKind::ckChanged, 0 }, "0.0", "0,0", "0.0" },
            // Less than half a tenth either way shows no sign.
            { { ChangeKind::ckChanged, 52428 }, "0.0", "0,0", "0.0" },
            { { ChangeKind::ckChanged, -52428 }, "0.0", "0,0", "0.0" },
            { { ChangeKind::ckChanged, 52429 }, "+0.1", "+0,1", "+0.1" },
            // Halves go to the even tenth: 0.25 MB and 0.75 MB.
            { { ChangeKind::ckChanged, kMB / 4 }, "+0.2", "+0,2", "+0.2" },
            { { ChangeKind::ckChanged, 3 * kMB / 4 }, "+0.8", "+0,8", "+0.8" },
            { { ChangeKind::ckChanged, -kMB / 4 }, std::string(kMinus) + "0.2", std::string(kMinus) + "0,2", "-0.2" },
            { { ChangeKind::ckChanged, std::numeric_limits<std::int64_t>::max() }, "+8,796,093,022,208.0",
                "+8.796.093.022.208,0", "+8796093022208.0" },
            { { ChangeKind::ckChanged, -std::numeric_limits<std::int64_t>::max() },
                std::string(kMinus) + "8,796,093,022,208.0", std::string(kMinus) + "8.796.093.022.208,0",
                "-8796093022208.0" },
            { { ChangeKind::ckNew, 5 * kMB }, "new", "new", "new" },
            { { ChangeKind::ckGone, -5 * kMB }, "gone", "gone", "gone" },
            { { ChangeKind::ckNone, 0 }, "", "", "" },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.change.bytes);
            EXPECT_EQ(ChangeText(row.change, FormatSettings::Invariant()), row.invariant);
            EXPECT_EQ(ChangeText(row.change, german), row.inGerman);
            EXPECT_EQ(InvariantChangeText(row.change), row.forMachines);
        }
    }

    TEST(CompareEntries, MatchesKindAndNameAndListsWhatIsGoneInItsEarlierOrder)
    {
        using K = HistoryEntryKind;
        const std::vector<HistoryEntry> earlier = {
            { K::hekFolder, "kept", 10 * kMB },
            { K::hekFolder, "removed", 3 * kMB },
            { K::hekFolder, "<Free Space>", 1 }, // a subfolder of that name, gone
            { K::hekFolder, "also removed", 0 },
            { K::hekFiles, "<All files in this folder>", 5 },
            { K::hekFreeSpace, "<Free Space>", 100 * kMB },
        };
        const std::vector<HistoryEntry> today = {
            { K::hekFolder, "added", 2 * kMB },
            { K::hekFolder, "kept", 4 * kMB },
            { K::hekFiles, "<All files in this folder>", 5 },
            { K::hekFreeSpace, "<Free Space>", 90 * kMB },
        };
        const EntryChanges changes = CompareEntries(today, earlier);
        EXPECT_EQ(changes.entries,
            (std::vector<EntryChange> { { ChangeKind::ckNew, 2 * kMB }, { ChangeKind::ckChanged, -6 * kMB },
                { ChangeKind::ckChanged, 0 }, { ChangeKind::ckChanged, -10 * kMB } }));
        EXPECT_EQ(changes.gone, (std::vector<HistoryEntry> { earlier[1], earlier[2], earlier[3] }));

        // Free space is compared only when both analyses asked for it.
        const std::vector<HistoryEntry> withoutFreeSpace(today.begin(), today.end() - 1);
        const EntryChanges notAsked = CompareEntries(withoutFreeSpace, earlier);
        EXPECT_EQ(notAsked.gone.size(), 3u) << "the free space is not gone";
        const std::vector<HistoryEntry> earlierWithout(earlier.begin(), earlier.end() - 1);
        EXPECT_EQ(CompareEntries(today, earlierWithout).entries.back(), (EntryChange { ChangeKind::ckNone, 0 }));
        EXPECT_TRUE(CompareEntries(today, {}).gone.empty());
        EXPECT_EQ(CompareEntries(today, {}).entries[0].kind, ChangeKind::ckNew);
    }

    TEST(DefaultComparison, IsTheNewestAtLeastAnHourOlderElseTheOldest)
    {
        constexpr std::int64_t kMinute = 60 * 1000;
        constexpr std::int64_t kShown = 1000 * 60 * kMinute;
        struct Row {
            std::vector<std::int64_t> minutesBefore; // newest first
            std::optional<std::size_t> chosen;
        };
        const Row rows[] = {
            { {}, std::nullopt }, { { 1 }, 0 }, { { 1, 30, 59 }, 2 }, { { 1, 60, 61 }, 1 }, // exactly an hour counts
            { { 5, 90, 600, 6000 }, 1 }, { { 120, 240 }, 0 },
            { { -5, 2 }, 1 }, // a record from a clock set ahead is no hour older either
        };
        for (const Row& row : rows) {
            std::vector<HistorySummary> analyses;
            for (const std::int64_t minutes : row.minutesBefore)
                analyses.push_back({ static_cast<std::int64_t>(analyses.size()) + 1, kShown - minutes * kMinute });
            EXPECT_EQ(DefaultComparison(analyses, kShown), row.chosen) << ::testing::PrintToString(row.minutesBefore);
        }
    }

    TEST(HistoryFolderKey, IsThePathWithoutTrailingSeparators)
    {
        EXPECT_EQ(HistoryFolderKey("/home/x/", PathStyle::Posix()), "/home/x");
        EXPECT_EQ(HistoryFolderKey("/home/x", PathStyle::Posix()), "/home/x");
        EXPECT_EQ(HistoryFolderKey("/", PathStyle::Posix()), "/");
        EXPECT_EQ(HistoryFolderKey("C:\\Data\\", PathStyle::Windows()), "C:\\Data");
        EXPECT_EQ(HistoryFolderKey("C:\\", PathStyle::Windows()), "C:\\");
    }

    TEST(HistoryEntriesOf, GivesEachScannerEntryItsKind)
    {
        const std::vector<std::string> paths
            = { "/v/<Free Space>", "/v/a\xff", "/v/<All files in this folder>", "/v/<Free Space>" };
        const std::vector<HistoryEntry> entries
            = HistoryEntriesOf(paths, { 1, 2, 3, -1 }, 2, "<Free Space>", PathStyle::Posix());
        EXPECT_EQ(entries,
            (std::vector<HistoryEntry> { { HistoryEntryKind::hekFolder, "<Free Space>", 1 },
                { HistoryEntryKind::hekFolder, "a\xff", 2 },
                { HistoryEntryKind::hekFiles, "<All files in this folder>", 3 },
                { HistoryEntryKind::hekFreeSpace, "<Free Space>", 0 } }));
        EXPECT_THROW(
            (void)HistoryEntriesOf(paths, { 1 }, 2, "<Free Space>", PathStyle::Posix()), std::invalid_argument);
    }

    // Sets an environment variable for one test and puts the old value back.
    class ScopedVariable
    {
    public:
        ScopedVariable(const char* name, const char* value)
            : m_name(name)
        {
            if (const char* old = std::getenv(name))
                m_old = old;
            value ? setenv(name, value, 1) : unsetenv(name);
        }
        ~ScopedVariable() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
        ScopedVariable(const ScopedVariable&) = delete;
        ScopedVariable& operator=(const ScopedVariable&) = delete;

    private:
        const char* m_name;
        std::optional<std::string> m_old;
    };

    TEST(DefaultHistoryFileName, FollowsXdgStateHomeAndIgnoresARelativeOne)
    {
        const ScopedVariable home("HOME", "/home/someone");
        const std::pair<const char*, const char*> rows[] = {
            { "/var/state/", "/var/state/tarvo/history.sqlite" },
            { "relative/state", "/home/someone/.local/state/tarvo/history.sqlite" },
            { nullptr, "/home/someone/.local/state/tarvo/history.sqlite" },
        };
        for (const auto& [stateHome, expected] : rows) {
            const ScopedVariable state("XDG_STATE_HOME", stateHome);
            EXPECT_EQ(DefaultHistoryFileName(), expected) << (stateHome ? stateHome : "(unset)");
        }
    }

} // namespace
} // namespace tarvo
