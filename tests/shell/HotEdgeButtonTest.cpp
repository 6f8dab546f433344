#include "HotEdgeButton.h"
#include "QtTestApp.h"

#include <QEnterEvent>
#include <QFrame>
#include <QImage>
#include <QPalette>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    void Enter(QWidget& widget)
    {
        QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget.mapToGlobal(QPointF(1, 1)));
        QCoreApplication::sendEvent(&widget, &event);
    }

    void Leave(QWidget& widget)
    {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(&widget, &event);
    }

    void SetBackground(QWidget& widget, const QColor& colour)
    {
        QPalette palette = widget.palette();
        palette.setColor(QPalette::Window, colour);
        widget.setPalette(palette);
    }

    TEST(HotEdgeButton, EventsSeeTheOldColourAndLeavingRestoresTheFirstOne)
    {
        test::EnsureQtTestApp();
        THotEdgeButton button;
        const QColor first = button.FontColor();
        // A later palette change (as a form's properties make) is not what leaving restores.
        QPalette red = button.palette();
        red.setColor(QPalette::ButtonText, Qt::red);
        button.setPalette(red);

        std::vector<std::string> seen;
        button.OnEnter = [&seen](THotEdgeButton& sender) {
            seen.push_back("enter " + sender.FontColor().name().toStdString() + (sender.IsHot() ? " hot" : " cold"));
        };
        button.OnExit = [&seen](THotEdgeButton& sender) {
            seen.push_back("exit " + sender.FontColor().name().toStdString() + (sender.IsHot() ? " hot" : " cold"));
        };

        Enter(button);
        EXPECT_EQ(button.FontColor(), QColor(0, 0, 255));
        button.SetHotTrackColor(Qt::green);
        EXPECT_EQ(button.FontColor(), QColor(0, 0, 255)) << "a new hot colour waits for the next entry";
        Leave(button);
        EXPECT_EQ(button.FontColor(), first);
        Enter(button);
        EXPECT_EQ(button.FontColor(), QColor(Qt::green));
        Leave(button);

        const std::string blue = QColor(0, 0, 255).name().toStdString();
        const std::string normal = first.name().toStdString();
        EXPECT_EQ(seen,
            (std::vector<std::string> {
                "enter #ff0000 hot", "exit " + blue + " cold", "enter " + normal + " hot", "exit #00ff00 cold" }));
    }

    // The edge strip as the window builds it: a 9-pixel panel whose colour the button's events
    // set, the button filling it.
    class EdgeStrip
    {
    public:
        EdgeStrip()
        {
            m_panel.setAutoFillBackground(true);
            m_panel.setFixedSize(9, 120);
            auto* layout = new QVBoxLayout(&m_panel);
            layout->setContentsMargins(0, 0, 0, 0);
            m_button = new THotEdgeButton(&m_panel);
            m_button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            layout->addWidget(m_button);
            m_button->OnEnter = [this](THotEdgeButton&) { SetBackground(m_panel, kHighlight); };
            m_button->OnExit = [this](THotEdgeButton&) { SetBackground(m_panel, kFace); };
            SetBackground(m_panel, kFace);
            m_panel.show();
        }

        [[nodiscard]] QImage Grab() { return m_panel.grab().toImage(); }

        static constexpr QRgb kHighlight = 0xFF3070C0;
        static constexpr QRgb kFace = 0xFFD4D0C8;
        QFrame m_panel;
        THotEdgeButton* m_button = nullptr;
    };

    TEST(HotEdgeButton, TheStripLightsThroughTheButtonWithABorderOnlyWhileHot)
    {
        test::EnsureQtTestApp(); // before the strip's panel
        EdgeStrip strip;
        const auto centre = [](const QImage& image) { return image.pixel(image.width() / 2, image.height() / 2); };
        const auto edgesDiffer = [](const QImage& image, QRgb fill) {
            return image.pixel(0, image.height() / 2) != fill
                || image.pixel(image.width() - 1, image.height() / 2) != fill;
        };

        QImage cold = strip.Grab();
        EXPECT_EQ(centre(cold), EdgeStrip::kFace);
        EXPECT_FALSE(edgesDiffer(cold, EdgeStrip::kFace)) << "no border while the mouse is elsewhere";

        Enter(*strip.m_button);
        const QImage hot = strip.Grab();
        EXPECT_EQ(centre(hot), EdgeStrip::kHighlight) << "the button paints no background of its own";
        EXPECT_TRUE(edgesDiffer(hot, EdgeStrip::kHighlight)) << "the flat button shows its border";

        Leave(*strip.m_button);
        cold = strip.Grab();
        EXPECT_EQ(centre(cold), EdgeStrip::kFace);
        EXPECT_FALSE(edgesDiffer(cold, EdgeStrip::kFace));
    }

} // namespace
} // namespace tarvo
