#include "canvas/VisibleText.h"

#include <algorithm>

namespace tarvo
{

namespace
{
    constexpr char16_t kDelete = 0x7F;

    bool NeedsReplacing(QChar c)
    {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= kDelete && u <= 0x9F) || u == 0xFFFE || u == 0xFFFF;
    }
} // namespace

QString VisibleText(const QString& text)
{
    if (std::none_of(text.begin(), text.end(), NeedsReplacing))
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!NeedsReplacing(c)) {
            shown.append(c);
        } else if (u < 0x20 || u == kDelete) {
            // ^@ … ^_ for 0 … 31, ^? for DEL: the character with bit 6 flipped.
            shown.append(QLatin1Char('^'));
            shown.append(QChar(static_cast<char16_t>(u ^ 0x40)));
        } else {
            shown.append(QChar::ReplacementCharacter);
        }
    }
    return shown;
}

} // namespace tarvo
