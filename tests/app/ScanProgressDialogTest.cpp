#include "ScanProgressDialog.h"
#include "DirSize.h"
#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include <climits>
#include <cstdint>
#include <string>

namespace tarvo
{
namespace
{

    struct ProgressTextCase {
        std::uint64_t folders;
        std::int64_t bytes;
        FormatSettings settings;
        const char* expected;
    };

    const FormatSettings kGerman { ",", "." };

    class ProgressTextTest : public ::testing::TestWithParam<ProgressTextCase>
    {
    };

    TEST_P(ProgressTextTest, CountsFoldersAndMegabytesWithOneDecimal)
    {
        const auto& row = GetParam();
        EXPECT_EQ(ScanProgressText(row.folders, row.bytes, row.settings).toStdString(), row.expected);
    }

    INSTANTIATE_TEST_SUITE_P(Texts, ProgressTextTest,
        ::testing::Values(ProgressTextCase { 0, 0, {}, "0 folders, 0.0 MB" },
            ProgressTextCase { 1, 1048576, {}, "1 folder, 1.0 MB" },
            ProgressTextCase { 2, 52428, {}, "2 folders, 0.0 MB" }, // 0.04999... MB
            ProgressTextCase { 2, 52429, {}, "2 folders, 0.1 MB" },
            ProgressTextCase { 999, 2 * 1048576 - 1, {}, "999 folders, 2.0 MB" }, // the tenth carries
            ProgressTextCase { 1234567, 5LL << 30, {}, "1,234,567 folders, 5,120.0 MB" },
            ProgressTextCase { 12345, 1572864, kGerman, "12.345 folders, 1,5 MB" },
            ProgressTextCase { 1000, LLONG_MAX, {}, "1,000 folders, 8,796,093,022,208.0 MB" },
            ProgressTextCase { 3, -5, {}, "3 folders, 0.0 MB" }));

    TEST(ScanProgressDialogTest, ElidesALongFolderInTheMiddle)
    {
        test::EnsureApp();
        ScanProgressDialog dialog(FormatSettings::Invariant(), nullptr);
        dialog.show();
        const std::string longPath = "/home/user/" + std::string(400, 'x') + "/the-end";
        ScanProgress progress;
        progress.currentPath = longPath;
        progress.folders = 7;
        progress.bytes = 3 * 1048576;
        dialog.SetProgress(progress);

        const QString shown = dialog.FolderText();
        EXPECT_LT(shown.size(), static_cast<qsizetype>(longPath.size()));
        EXPECT_TRUE(shown.startsWith("/home/")) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith("the-end")) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QChar(0x2026)));
        EXPECT_EQ(dialog.CountText(), "7 folders, 3.0 MB");
    }

    TEST(ScanProgressDialogTest, EveryWayOfCancellingAsksOnceAndKeepsTheDialogUp)
    {
        test::EnsureApp();
        ScanProgressDialog dialog(FormatSettings::Invariant(), nullptr);
        int requests = 0;
        dialog.OnCancel = [&] { ++requests; };
        dialog.show();

        dialog.CancelButton()->click();
        EXPECT_EQ(requests, 1);
        EXPECT_FALSE(dialog.CancelButton()->isEnabled());
        EXPECT_FALSE(dialog.close());
        dialog.reject();
        EXPECT_EQ(requests, 1);
        // Whoever runs the scan hides it once the scan has really stopped.
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.CancelRequested());
    }

} // namespace
} // namespace tarvo
