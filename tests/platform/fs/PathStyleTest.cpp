#include "PathStyle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    const PathStyle& Win = PathStyle::Windows();
    const PathStyle& Px = PathStyle::Posix();

    // One row: a style, an input path and the expected text.
    struct Row {
        const PathStyle* style;
        std::string path;
        std::string expected;
    };

    std::string Describe(const Row& row)
    {
        return std::string(row.style->GetKind() == PathStyle::pkWindows ? "windows" : "posix") + " \"" + row.path
            + "\"";
    }

    TEST(PathStyleTest, HostIsPosixOnThisPlatform) { EXPECT_EQ(&PathStyle::Host(), &PathStyle::Posix()); }

    TEST(PathStyleTest, WindowsTakesBothSlashesPosixOnlyTheForwardOne)
    {
        EXPECT_TRUE(Win.IsSeparator('\\'));
        EXPECT_TRUE(Win.IsSeparator('/'));
        EXPECT_FALSE(Win.IsSeparator(':'));
        EXPECT_TRUE(Px.IsSeparator('/'));
        EXPECT_FALSE(Px.IsSeparator('\\'));
    }

    TEST(PathStyleTest, IncludeTrailingSeparator)
    {
        const std::vector<Row> rows = {
            { &Win, "C:\\Data", "C:\\Data\\" },
            { &Win, "C:\\Data\\", "C:\\Data\\" },
            { &Win, "C:\\Data/", "C:\\Data/" },
            { &Win, "C:", "C:\\" },
            { &Win, "", "\\" }, // a lone separator: the root of the current drive
            { &Px, "/usr", "/usr/" },
            { &Px, "/usr/", "/usr/" },
            { &Px, "/", "/" },
            { &Px, "a\\", "a\\/" }, // a backslash is an ordinary name byte under POSIX
            { &Px, "", "/" },
        };
        for (const Row& row : rows)
            EXPECT_EQ(row.style->IncludeTrailingSeparator(row.path), row.expected) << Describe(row);
    }

    TEST(PathStyleTest, ExcludeTrailingSeparatorNeverShortensARoot)
    {
        const std::vector<Row> rows = {
            { &Win, "C:\\Data\\", "C:\\Data" },
            { &Win, "C:\\Data\\\\/", "C:\\Data" },
            { &Win, "C:\\Data", "C:\\Data" },
            { &Win, "C:\\", "C:\\" },
            { &Win, "c:\\\\", "c:\\" },
            { &Win, "", "" },
            { &Px, "/usr/lib/", "/usr/lib" },
            { &Px, "/usr//", "/usr" },
            { &Px, "/", "/" },
            { &Px, "//", "/" },
            { &Px, "a/", "a" },
            { &Px, "", "" },
        };
        for (const Row& row : rows)
            EXPECT_EQ(row.style->ExcludeTrailingSeparator(row.path), row.expected) << Describe(row);
    }

    TEST(PathStyleTest, RootsAndAbsolutePaths)
    {
        // expected: the root text, or "" for a relative path; a trailing "!" marks a whole root.
        const std::vector<Row> rows = {
            { &Win, "C:\\", "C:\\!" },
            { &Win, "z:\\", "z:\\!" },
            { &Win, "C:\\\\", "C:\\!" },
            { &Win, "C:/", "C:/!" },
            { &Win, "C:\\Data", "C:\\" },
            { &Win, "C:", "" },
            { &Win, "C:Data", "" },
            { &Win, "1:\\", "" },
            { &Win, "\\Data", "" },
            { &Win, "/", "" },
            { &Win, "", "" },
            { &Px, "/", "/!" },
            { &Px, "//", "/!" },
            { &Px, "/usr", "/" },
            { &Px, "//usr", "/" },
            { &Px, "usr", "" },
            { &Px, "C:\\", "" },
            { &Px, "", "" },
        };
        for (const Row& row : rows) {
            const bool wholeRoot = !row.expected.empty() && row.expected.back() == '!';
            const std::string root = wholeRoot ? row.expected.substr(0, row.expected.size() - 1) : row.expected;
            EXPECT_EQ(row.style->RootOf(row.path), root) << Describe(row);
            EXPECT_EQ(row.style->IsAbsolute(row.path), !root.empty()) << Describe(row);
            EXPECT_EQ(row.style->IsRoot(row.path), wholeRoot) << Describe(row);
        }
    }

    TEST(PathStyleTest, FileNameIgnoresTrailingSeparators)
    {
        const std::vector<Row> rows = {
            { &Win, "C:\\Data\\Sub\\", "Sub" },
            { &Win, "C:\\Data\\Sub", "Sub" },
            { &Win, "C:\\Data/Sub", "Sub" },
            { &Win, "C:\\Data", "Data" },
            { &Win, "C:\\", "" },
            { &Win, "C:\\\\", "" },
            { &Win, "C:Data", "Data" },
            { &Win, "Data", "Data" },
            { &Win, "", "" },
            { &Px, "/usr/lib/", "lib" },
            { &Px, "/usr//lib//", "lib" },
            { &Px, "/usr", "usr" },
            { &Px, "/", "" },
            { &Px, "//", "" },
            { &Px, "a\\b", "a\\b" },
            { &Px, "", "" },
        };
        for (const Row& row : rows)
            EXPECT_EQ(row.style->FileName(row.path), row.expected) << Describe(row);
    }

    TEST(PathStyleTest, ParentStopsAtTheRoot)
    {
        const std::vector<Row> rows = {
            { &Win, "C:\\Data\\Sub", "C:\\Data" },
            { &Win, "C:\\Data\\Sub\\", "C:\\Data" },
            { &Win, "C:\\Data", "C:\\" },
            { &Win, "C:\\Data\\", "C:\\" },
            { &Win, "C:\\", "C:\\" },
            { &Win, "c:\\\\", "c:\\" },
            { &Win, "C:\\Data\\\\Sub", "C:\\Data" },
            { &Win, "C:Data", "C:" },
            { &Win, "Data", "" },
            { &Win, "", "" },
            { &Px, "/usr/lib", "/usr" },
            { &Px, "/usr/lib/", "/usr" },
            { &Px, "/usr", "/" },
            { &Px, "//usr", "/" },
            { &Px, "/usr//lib", "/usr" },
            { &Px, "/", "/" },
            { &Px, "//", "/" },
            { &Px, "a/b", "a" },
            { &Px, "a", "" },
        };
        for (const Row& row : rows)
            EXPECT_EQ(row.style->Parent(row.path), row.expected) << Describe(row);
    }

    TEST(PathStyleTest, JoinAddsASeparatorOnlyWhenMissing)
    {
        struct JoinRow {
            const PathStyle* style;
            std::string folder;
            std::string name;
            std::string expected;
        };
        const std::vector<JoinRow> rows = {
            { &Win, "C:\\Data", "Sub", "C:\\Data\\Sub" },
            { &Win, "C:\\Data\\", "Sub", "C:\\Data\\Sub" },
            { &Win, "C:\\", "Data", "C:\\Data" },
            { &Win, "C:/Data/", "Sub", "C:/Data/Sub" },
            { &Px, "/data", "sub", "/data/sub" },
            { &Px, "/data/", "sub", "/data/sub" },
            { &Px, "/", "usr", "/usr" },
            { &Px, "/data", "", "/data/" },
        };
        for (const JoinRow& row : rows)
            EXPECT_EQ(row.style->Join(row.folder, row.name), row.expected) << row.folder << " + " << row.name;
    }

    // A folder written with or without its trailing separator names the same entries, and the
    // entry's parent and name lead back to where it came from.
    TEST(PathStyleTest, EntriesRoundTripThroughParentAndFileName)
    {
        const std::vector<Row> rows = {
            { &Win, "C:\\Data", "C:\\Data\\Sub" },
            { &Win, "C:\\Data\\", "C:\\Data\\Sub" },
            { &Win, "C:\\", "C:\\Sub" },
            { &Px, "/data", "/data/Sub" },
            { &Px, "/data/", "/data/Sub" },
            { &Px, "/", "/Sub" },
        };
        for (const Row& row : rows) {
            const std::string viaJoin = row.style->Join(row.path, "Sub");
            const std::string viaInclude = row.style->IncludeTrailingSeparator(row.path) + "Sub";
            EXPECT_EQ(viaJoin, row.expected) << Describe(row);
            EXPECT_EQ(viaInclude, row.expected) << Describe(row);
            EXPECT_EQ(row.style->Parent(viaJoin), row.style->ExcludeTrailingSeparator(row.path)) << Describe(row);
            EXPECT_EQ(row.style->FileName(viaJoin), "Sub") << Describe(row);
        }
    }

} // namespace
} // namespace tarvo
