#pragma once

#include <QString>

namespace tarvo
{

// What a chart shows of a text: every control character becomes visible. C0 controls and DEL
// take the caret notation (tab "^I", BEL "^G", ESC "^[", DEL "^?"), plain ASCII that every
// font, the metafile's 8-bit text, SVG and PDF carry alike; C1 controls and the two code points
// XML forbids (U+FFFE, U+FFFF) become U+FFFD, as undecodable bytes already are. A text without
// any comes back unchanged (shared, not copied).
[[nodiscard]] QString VisibleText(const QString& text);

} // namespace tarvo
