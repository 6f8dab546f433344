#include "core/ChartColor.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace tarvo
{

namespace
{

    // The classic table, used for indices the palette has no role for and when no application
    // object exists yet (plain value code and tests may convert colours before one is created).
    constexpr std::array<TColor, 25> kClassicSystemColors = {
        0xC8C8C8,
        0x808000,
        0x6A240A,
        0x808080,
        0xC0C0C0,
        0xFFFFFF,
        0x000000,
        0x000000,
        0x000000,
        0xFFFFFF,
        0xC0C0C0,
        0xC0C0C0,
        0x808080,
        0x6A240A,
        0xFFFFFF,
        0xC0C0C0,
        0x808080,
        0x808080,
        0x000000,
        0xC0C0C0,
        0xFFFFFF,
        0x404040,
        0xC0C0C0,
        0x000000,
        0xE1FFFF,
    };

    bool PaletteRoleOf(unsigned index, QPalette::ColorGroup& group, QPalette::ColorRole& role)
    {
        group = QPalette::Active;
        switch (index) {
        case 1:
        case 12:
            role = QPalette::Dark;
            return true;
        case 2:
        case 13:
            role = QPalette::Highlight;
            return true;
        case 9:
        case 14:
            role = QPalette::HighlightedText;
            return true;
        case 4:
        case 5:
            role = QPalette::Base;
            return true;
        case 6:
            role = QPalette::Shadow;
            return true;
        case 7:
        case 8:
            role = QPalette::Text;
            return true;
        case 15:
            role = QPalette::Button;
            return true;
        case 16:
            role = QPalette::Mid;
            return true;
        case 17:
            group = QPalette::Disabled;
            role = QPalette::Text;
            return true;
        case 18:
            role = QPalette::ButtonText;
            return true;
        case 20:
            role = QPalette::Light;
            return true;
        case 21:
            role = QPalette::Shadow;
            return true;
        case 22:
            role = QPalette::Midlight;
            return true;
        case 23:
            role = QPalette::ToolTipText;
            return true;
        case 24:
            role = QPalette::ToolTipBase;
            return true;
        default:
            return false;
        }
    }

} // namespace

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color))
        return color & 0x00FFFFFF;
    const unsigned index = color & 0xFF;
    QPalette::ColorGroup group {};
    QPalette::ColorRole role {};
    if (qGuiApp != nullptr && PaletteRoleOf(index, group, role))
        return FromQColor(QGuiApplication::palette().color(group, role));
    return index < kClassicSystemColors.size() ? kClassicSystemColors[index] : clBlack;
}

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

TColor FromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return RGBColor(rgb.red(), rgb.green(), rgb.blue());
}

} // namespace tarvo
