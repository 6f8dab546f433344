#include "canvas/TextRunCache.h"

#include "QtApp.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    // The canvas trusts a prepared layout to put every pixel where drawText would; a Qt that lays
    // out differently would shift every mark and label by a pixel, so compare whole pictures.
    TEST(TextRunCache, LayoutDrawsTheSamePixelsAsDrawTextAndMeasuresAlike)
    {
        test::EnsureQtApp();
        TTextRunCache cache;
        const QString text = QStringLiteral("Folder Size in: /usr/share 1,234.5 KB \u00fcg\u00df");
        for (const int pixels : { 8, 11, 17, 24 }) {
            for (const bool bold : { false, true }) {
                QFont font(QStringLiteral("Arial"));
                font.setPixelSize(pixels);
                font.setBold(bold);
                QImage direct(420, 60, QImage::Format_RGB32);
                direct.fill(Qt::white);
                QImage cached = direct;
                {
                    QPainter painter(&direct);
                    painter.setFont(font);
                    painter.drawText(QPoint(3, 40), text);
                }
                {
                    QPainter painter(&cached);
                    painter.setFont(font);
                    const int ascent = cache.Metrics(font, &cached).ascent();
                    painter.drawStaticText(3, 40 - ascent, cache.Layout(font, &cached, text));
                }
                EXPECT_TRUE(direct == cached) << pixels << " px, bold " << bold;
                EXPECT_EQ(cache.Width(font, &cached, text), QFontMetrics(font, &cached).horizontalAdvance(text));
            }
        }
    }

    TEST(TextRunCache, KeepsWidthsApartPerFontAndRefusesControlCharacters)
    {
        test::EnsureQtApp();
        TTextRunCache cache;
        QFont small(QStringLiteral("Arial"));
        small.setPixelSize(8);
        QFont large = small;
        large.setPixelSize(30);
        const QString text = QStringLiteral("12,345 KB");
        EXPECT_LT(cache.Width(small, nullptr, text), cache.Width(large, nullptr, text));
        EXPECT_EQ(cache.Width(small, nullptr, text), QFontMetrics(small).horizontalAdvance(text));
        EXPECT_TRUE(TTextRunCache::CanLayout(text));
        EXPECT_FALSE(TTextRunCache::CanLayout(QStringLiteral("two\nlines")));
        EXPECT_FALSE(TTextRunCache::CanLayout(QStringLiteral("tab\there")));
    }

} // namespace
} // namespace tarvo
