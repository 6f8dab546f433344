// The size list's text rules: what counts as a number, how two cells compare, and a sort that
// survives comparisons which are not a consistent order.

#include "SizeListSort.h"
#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>

namespace tarvo
{
namespace
{

    const FormatSettings kFullStop = FormatSettings::Invariant();
    const FormatSettings kComma { ",", "." };

    struct IsNumberCase {
        const char* text;
        bool expected;
    };

    TEST(SizeListIsNumber, OnlyDigitsDotsAndCommasPass)
    {
        const IsNumberCase cases[] = {
            { "", true }, { "0", true }, { "1234", true }, { "9.5", true }, { "9,5", true }, { "1,000.25", true },
            { "1.2.3", true }, { ",", true }, { ".", true }, { "-1", false }, { "+1", false }, { "1e5", false },
            { " 1", false }, { "12 ", false }, { "1a", false }, { "Data", false }, { "<Free Space>", false },
            { "\xC2\xBD", false }, // "½": not a decimal digit, even in UTF-8
            { "\xD9\xA3", false }, // Arabic-Indic digit three
        };
        for (const IsNumberCase& c : cases) {
            EXPECT_EQ(IsNumber(c.text), c.expected) << '"' << c.text << '"';
        }
    }

    struct CompareCase {
        const char* a;
        const char* b;
        int expected;
    };

    void ExpectComparisons(const std::vector<CompareCase>& cases, const FormatSettings& settings)
    {
        test::EnsureApp(); // the collation comes from the application's locale
        for (const CompareCase& c : cases) {
            EXPECT_EQ(CompareTexts(c.a, c.b, settings), c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
            EXPECT_EQ(CompareTexts(c.b, c.a, settings), -c.expected) << '"' << c.b << "\" vs \"" << c.a << '"';
        }
    }

    TEST(SizeListCompareTexts, NumbersCompareByValueNotByText)
    {
        ExpectComparisons({ { "9.5", "10", -1 }, { "300", "2000", -1 }, { "0", "0.01", -1 }, { "10", "10.0", 0 },
                              { "007", "7", 0 }, { "123456789.25", "123456789.5", -1 } },
            kFullStop);
    }

    TEST(SizeListCompareTexts, TheLocalesDecimalSeparatorIsUsed)
    {
        ExpectComparisons({ { "9,5", "10", -1 }, { "9,25", "9,5", -1 }, { "1,5", "1,50", 0 } }, kComma);
    }

    TEST(SizeListCompareTexts, NumbersThatDoNotParseGoAfterRealNumbersAndCompareAsText)
    {
        ExpectComparisons({ { "99999", "1.2.3", -1 }, { "0", ",", -1 }, { "5", "1,000", -1 }, { "1.2.3", "1.2.4", -1 },
                              { ",", ",", 0 } },
            kFullStop);
        // Under a comma locale the full stop is the one that does not parse.
        ExpectComparisons({ { "100", "9.5", -1 } }, kComma);
    }

    TEST(SizeListCompareTexts, AnythingElseComparesAsText)
    {
        ExpectComparisons({ { "2000", "Data", -1 }, { "10", "1a", -1 }, { "1a", "9", -1 }, { "Data", "Data", 0 },
                              { "Alpha", "Beta", -1 }, { "a", "zzzzzzzz", -1 } },
            kFullStop);
    }

    TEST(SizeListCompareTexts, CollationIsCaseSensitive)
    {
        test::EnsureApp();
        EXPECT_NE(CompareTexts("data", "Data", kFullStop), 0);
        EXPECT_EQ(CompareTexts("data", "Data", kFullStop), -CompareTexts("Data", "data", kFullStop));
    }

    TEST(SizeListCompareTexts, NamesThatAreNotUtf8StillCompare)
    {
        test::EnsureApp();
        const std::string latin1 = "caf\xE9";
        EXPECT_EQ(CompareTexts(latin1, latin1, kFullStop), 0);
        const int result = CompareTexts(latin1, "Data", kFullStop);
        EXPECT_TRUE(result == -1 || result == 1) << result;
    }

    bool IsPermutation(const std::vector<int>& order, int count)
    {
        std::vector<int> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        std::vector<int> all(static_cast<std::size_t>(count));
        std::iota(all.begin(), all.end(), 0);
        return sorted == all;
    }

    TEST(SizeListCompareChangeTexts, ByteDifferencesCompareByValueAndCellsWithoutOneGoLast)
    {
        const CompareCase cases[] = {
            { "-5", "3", -1 }, { "-12582912", "-3", -1 }, { "9", "10", -1 }, { "0", "0", 0 },
            { "9223372036854775807", "-9223372036854775807", 1 }, { "", "-9223372036854775807", 1 }, { "", "", 0 },
            { "5x", "5", 1 }, // not a byte count: as a cell without one
        };
        for (const CompareCase& c : cases) {
            EXPECT_EQ(CompareChangeTexts(c.a, c.b), c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
            EXPECT_EQ(CompareChangeTexts(c.b, c.a), -c.expected) << '"' << c.b << "\" vs \"" << c.a << '"';
        }
    }

    TEST(SizeListSortedOrder, SortsStablyLikeTheStandardLibrary)
    {
        std::mt19937 random(20240611);
        for (const int count : { 0, 1, 2, 3, 7, 8, 9, 64, 333 }) {
            std::vector<int> keys(static_cast<std::size_t>(count));
            for (int& key : keys) {
                key = static_cast<int>(random() % 5); // many ties
            }
            const std::vector<int> order = SortedOrder(count, [&keys](int a, int b) {
                return (keys[static_cast<std::size_t>(a)] > keys[static_cast<std::size_t>(b)])
                    - (keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)]);
            });
            std::vector<int> expected(static_cast<std::size_t>(count));
            std::iota(expected.begin(), expected.end(), 0);
            std::stable_sort(expected.begin(), expected.end(), [&keys](int a, int b) {
                return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
            });
            EXPECT_EQ(order, expected) << count << " items";
        }
    }

    TEST(SizeListSortedOrder, ARandomComparisonStillGivesEveryIndexOnce)
    {
        std::mt19937 random(7);
        for (const int count : { 2, 5, 31, 100, 1000 }) {
            int outOfRange = 0;
            const std::vector<int> order = SortedOrder(count, [&](int a, int b) {
                outOfRange += a < 0 || a >= count || b < 0 || b >= count || a == b;
                return static_cast<int>(random() % 3) - 1;
            });
            EXPECT_EQ(outOfRange, 0);
            EXPECT_TRUE(IsPermutation(order, count)) << count << " items";
        }
    }

    TEST(SizeListSortedOrder, TheNonTransitiveMixOfNumbersAndNamesSorts)
    {
        test::EnsureApp();
        // 9 < 10 by value, 10 < 1a and 1a < 9 as text: a cycle.
        const std::vector<std::string> names { "10", "1a", "9", "Data", "300", "2000", "1.2.3", "", "1a", "9" };
        const int count = static_cast<int>(names.size());
        const auto compare = [&names](int a, int b) {
            return CompareTexts(names[static_cast<std::size_t>(a)], names[static_cast<std::size_t>(b)], kFullStop);
        };
        const std::vector<int> order = SortedOrder(count, compare);
        EXPECT_TRUE(IsPermutation(order, count));
        const std::vector<int> reversed = SortedOrder(count, [&compare](int a, int b) { return -compare(a, b); });
        EXPECT_TRUE(IsPermutation(reversed, count));
    }

    TEST(SizeListSortedOrder, ANegativeCountIsRejected)
    {
        EXPECT_THROW((void)SortedOrder(-1, [](int, int) { return 0; }), std::invalid_argument);
    }

} // namespace
} // namespace tarvo
