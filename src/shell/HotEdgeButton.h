#pragma once

#include <QColor>
#include <QToolButton>

#include <functional>

class QEnterEvent;
class QEvent;
class QPaintEvent;

namespace tarvo
{

// A flat speed button that reports the mouse entering and leaving it and shows its text in
// HotTrackColor meanwhile. It paints no background of its own (whatever is behind it shows
// through) and a border only while the mouse is over it or it is down; the main window's thin
// edge strip lights up through the panel behind it.
class THotEdgeButton : public QToolButton
{
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(THotEdgeButton& sender)>;

    explicit THotEdgeButton(QWidget* parent = nullptr);

    // The text colour while the mouse is over the button; blue from the start. Setting it only
    // stores it: it shows at the next entry.
    [[nodiscard]] QColor HotTrackColor() const { return m_hotTrackColor; }
    void SetHotTrackColor(const QColor& colour) { m_hotTrackColor = colour; }
    // The text colour the button had when it was made; leaving restores this one, even when
    // the palette was changed in between.
    [[nodiscard]] QColor NormalColor() const { return m_normalColor; }
    [[nodiscard]] QColor FontColor() const;
    [[nodiscard]] bool IsHot() const { return m_hot; }

    // Both run after the button's own handling and before the text colour changes, so a handler
    // still sees the old colour.
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetFontColor(const QColor& colour);

    QColor m_hotTrackColor;
    QColor m_normalColor;
    bool m_hot = false;
};

} // namespace tarvo
