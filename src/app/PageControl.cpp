#include "PageControl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTabBar>
#include <QVBoxLayout>
#include <qdrawutil.h>

#include <stdexcept>

namespace tarvo
{

namespace
{

    // Tabs drawn as flat buttons: the active page's tab pressed in, the tab under the mouse
    // raised with its caption in the highlight colour, all others flat. QTabBar always keeps a
    // current tab once it has one, so which tab looks pressed is held here, apart from
    // currentIndex(): with no active page none does.
    class FlatButtonTabBar final : public QTabBar
    {
    public:
        explicit FlatButtonTabBar(QWidget* parent)
            : QTabBar(parent)
        {
            setDrawBase(false);
            setExpanding(false);
            setMouseTracking(true);
            QFont bold = font();
            bold.setBold(true);
            setFont(bold);
        }

        void SetPressedTab(int index)
        {
            if (m_pressedTab != index) {
                m_pressedTab = index;
                update();
            }
        }

    protected:
        void paintEvent(QPaintEvent* /*event*/) override
        {
            QPainter painter(this);
            const QPalette& colours = palette();
            for (int i = 0; i < count(); ++i) {
                const QRect button = tabRect(i).adjusted(1, 1, -1, -1);
                const bool pressed = i == m_pressedTab;
                const bool hot = i == m_hotTab && isEnabled() && isTabEnabled(i);
                if (pressed) {
                    painter.fillRect(button, colours.brush(QPalette::Midlight));
                    qDrawShadePanel(&painter, button, colours, true, 1);
                } else if (hot) {
                    qDrawShadePanel(&painter, button, colours, false, 1);
                }
                QPalette::ColorRole textRole = hot ? QPalette::Highlight : QPalette::ButtonText;
                const QPalette::ColorGroup group
                    = isEnabled() && isTabEnabled(i) ? QPalette::Active : QPalette::Disabled;
                painter.setPen(colours.color(group, textRole));
                const QRect textRect = pressed ? button.translated(1, 1) : button;
                painter.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, tabText(i));
                if (hasFocus() && i == currentIndex()) {
                    QStyleOptionFocusRect focus;
                    focus.initFrom(this);
                    focus.rect = button.adjusted(2, 2, -2, -2);
                    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
                }
            }
        }

        void mouseMoveEvent(QMouseEvent* event) override
        {
            SetHotTab(tabAt(event->position().toPoint()));
            QTabBar::mouseMoveEvent(event);
        }

        void leaveEvent(QEvent* event) override
        {
            SetHotTab(-1);
            QTabBar::leaveEvent(event);
        }

    private:
        void SetHotTab(int index)
        {
            if (m_hotTab != index) {
                m_hotTab = index;
                update();
            }
        }

        int m_pressedTab = -1;
        int m_hotTab = -1;
    };

} // namespace

TPageControl::TPageControl(QWidget* parent)
    : QWidget(parent)
{
    m_tabs = new FlatButtonTabBar(this);
    m_stack = new QStackedWidget(this);
    m_empty = new QWidget(m_stack);
    m_stack->addWidget(m_empty);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack, 1);

    // A press on a tab arrives here before QTabBar moves its own current tab, and also when
    // that tab is already QTabBar's current one while no page is active.
    const auto pick = [this](int index) {
        if (index < 0 || index >= PageCount() || index == m_active) {
            return;
        }
        SetActivePageIndex(index);
        Q_EMIT PageChanged(index);
    };
    connect(m_tabs, &QTabBar::tabBarClicked, this, pick);
    // Keyboard and wheel moves on the tab bar; programmatic moves are made with signals blocked.
    connect(m_tabs, &QTabBar::currentChanged, this, pick);
}

int TPageControl::AddPage(QWidget* page, const QString& caption)
{
    if (page == nullptr) {
        throw std::invalid_argument("TPageControl::AddPage: no page widget for \"" + caption.toStdString() + "\"");
    }
    m_stack->addWidget(page); // the empty page stays the current one until a page is activated
    const QSignalBlocker blocker(m_tabs); // the first tab would otherwise report itself picked
    return m_tabs->addTab(caption);
}

int TPageControl::PageCount() const { return m_tabs->count(); }

QWidget* TPageControl::Page(int index) const
{
    if (index < 0 || index >= PageCount()) {
        return nullptr;
    }
    return m_stack->widget(index + 1); // the empty page comes first
}

void TPageControl::SetActivePageIndex(int index)
{
    m_active = index >= 0 && index < PageCount() ? index : -1;
    static_cast<FlatButtonTabBar*>(m_tabs)->SetPressedTab(m_active);
    if (m_active < 0) {
        m_stack->setCurrentWidget(m_empty);
        return;
    }
    m_stack->setCurrentWidget(Page(m_active));
    const QSignalBlocker blocker(m_tabs);
    m_tabs->setCurrentIndex(m_active);
}

} // namespace tarvo
