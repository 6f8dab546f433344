#include "style/ChartFont.h"

#include "core/ChartRounding.h"

#include <QGuiApplication>
#include <QLocale>

#include <algorithm>
#include <cstdlib>

namespace tarvo
{

namespace
{

    bool UserLanguageIsJapanese() { return QLocale::system().language() == QLocale::Japanese; }

} // namespace

QString DefaultChartFontName()
{
    return UserLanguageIsJapanese() ? QStringLiteral("MS Sans Serif") : QStringLiteral("Arial");
}

int DefaultChartFontSize()
{
    if (UserLanguageIsJapanese() && qGuiApp != nullptr) {
        const int points = QGuiApplication::font().pointSize();
        if (points > 0)
            return points;
    }
    return 8;
}

int FontHeightForSize(int points, int pixelsPerInch) { return -MulDiv(points, pixelsPerInch, 72); }

TChartFont::TChartFont()
{
    m_values.name = DefaultChartFontName();
    m_values.height = FontHeightForSize(DefaultChartFontSize(), m_values.pixelsPerInch);
}

int TChartFont::Size() const { return -MulDiv(m_values.height, 72, m_values.pixelsPerInch); }

void TChartFont::SetSize(int points) { SetHeight(FontHeightForSize(points, m_values.pixelsPerInch)); }

void TChartFont::SetPixelsPerInch(int value)
{
    if (value < 1 || value == m_values.pixelsPerInch)
        return;
    const int points = Size();
    Values changed = m_values;
    changed.pixelsPerInch = value;
    changed.height = FontHeightForSize(points, value);
    StoreAll(m_values, changed);
}

bool TChartFont::IsDefault() const
{
    return Size() == DefaultChartFontSize() && m_values.name == DefaultChartFontName() && m_values.color == clBlack
        && m_values.style == 0 && m_values.charset == DEFAULT_CHARSET;
}

QFont TChartFont::ToQFont() const
{
    if (m_madeFont && m_madeFrom == m_values)
        return *m_madeFont;
    QFont font(m_values.name);
    // Both kinds of height become the em height: the cell height's internal leading is small at
    // chart sizes and Qt has no notion of it.
    font.setPixelSize(std::max(1, std::abs(m_values.height)));
    font.setBold((m_values.style & fsBold) != 0);
    font.setItalic((m_values.style & fsItalic) != 0);
    font.setUnderline((m_values.style & fsUnderline) != 0);
    font.setStrikeOut((m_values.style & fsStrikeOut) != 0);
    m_madeFont = font;
    m_madeFrom = m_values;
    return font;
}

} // namespace tarvo
