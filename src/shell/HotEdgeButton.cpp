#include "HotEdgeButton.h"

#include <QEnterEvent>
#include <QPalette>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <qdrawutil.h>

namespace tarvo
{

THotEdgeButton::THotEdgeButton(QWidget* parent)
    : QToolButton(parent)
    , m_hotTrackColor(0x00, 0x00, 0xFF)
    , m_normalColor(palette().color(QPalette::ButtonText))
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus); // a speed button never takes the focus
}

QColor THotEdgeButton::FontColor() const { return palette().color(QPalette::ButtonText); }

void THotEdgeButton::SetFontColor(const QColor& colour)
{
    QPalette changed = palette();
    changed.setColor(QPalette::ButtonText, colour);
    setPalette(changed);
}

void THotEdgeButton::enterEvent(QEnterEvent* event)
{
    QToolButton::enterEvent(event);
    m_hot = true;
    update(); // the border appears
    if (OnEnter)
        OnEnter(*this);
    SetFontColor(m_hotTrackColor);
}

void THotEdgeButton::leaveEvent(QEvent* event)
{
    QToolButton::leaveEvent(event);
    m_hot = false;
    update();
    if (OnExit)
        OnExit(*this);
    SetFontColor(m_normalColor);
}

void THotEdgeButton::paintEvent(QPaintEvent* /*event*/)
{
    // The style's own tool-button panel would fill the button while hot and hide the panel
    // behind it, which is what the strip shows; only the label goes through the style.
    QStylePainter painter(this);
    const bool down = isDown() || isChecked();
    if (down || (m_hot && isEnabled()))
        qDrawShadePanel(&painter, rect(), palette(), down, 1, nullptr);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_ToolButtonLabel, option);
}

} // namespace tarvo
