// The program's own pictures: each exists at the tool bar and menu sizes, shows something, and
// no two actions share a picture.

#include "ActionIcons.h"
#include "GuiTestSupport.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    // Share of pixels with any opacity; an empty or fully painted square is a broken picture.
    double CoveredShare(const QImage& image)
    {
        int covered = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                covered += qAlpha(image.pixel(x, y)) > 0;
            }
        }
        return static_cast<double>(covered) / (image.width() * image.height());
    }

    TEST(ActionIcons, EveryPictureExistsAtEachSizeAndShowsSomething)
    {
        test::EnsureApp();
        for (int i = 0; i < aiCount; ++i) {
            const QIcon icon = ActionIcon(static_cast<ActionImage>(i));
            for (const int size : { 16, 24, 32 }) {
                const QImage image = icon.pixmap(size, size).toImage();
                ASSERT_EQ(image.size(), QSize(size, size)) << "image " << i;
                const double share = CoveredShare(image);
                EXPECT_GT(share, 0.15) << "image " << i << " at " << size;
                EXPECT_LT(share, 1.0) << "image " << i << " at " << size;
            }
        }
    }

    TEST(ActionIcons, NoTwoActionsSharePicture)
    {
        test::EnsureApp();
        for (int i = 0; i < aiCount; ++i) {
            const QImage first = ActionIcon(static_cast<ActionImage>(i)).pixmap(32, 32).toImage();
            for (int j = i + 1; j < aiCount; ++j) {
                EXPECT_NE(first, ActionIcon(static_cast<ActionImage>(j)).pixmap(32, 32).toImage()) << i << " / " << j;
            }
        }
    }

    TEST(ActionIcons, AnIndexOutsideTheListHasNoPicture)
    {
        test::EnsureApp();
        EXPECT_TRUE(ActionIcon(aiCount).isNull());
    }

    TEST(ActionIcons, TheApplicationIconScalesToDesktopSizes)
    {
        test::EnsureApp();
        const QIcon icon = ApplicationIcon();
        for (const int size : { 16, 48, 256 }) {
            const QImage image = icon.pixmap(size, size).toImage();
            EXPECT_EQ(image.size(), QSize(size, size));
            EXPECT_GT(CoveredShare(image), 0.3) << size;
        }
    }

} // namespace
} // namespace tarvo
