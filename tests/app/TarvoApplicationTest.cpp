#include "TarvoApplication.h"
#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

namespace tarvo
{
namespace
{

    using namespace std::chrono_literals;
    using test::Click;
    using test::ProcessEventsUntil;

    class TarvoApplicationTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            test::EnsureApp();
            test::ShownMessages().clear();
        }
    };

    TEST_F(TarvoApplicationTest, AnExceptionLeavingATimerHandlerIsShownAndLaterEventsStillRun)
    {
        QTimer::singleShot(0, [] { throw std::runtime_error("Could not read C:\\pagefile.sys"); });
        ASSERT_TRUE(ProcessEventsUntil([] { return !test::ShownMessages().empty(); }));
        EXPECT_EQ(test::ShownMessages().front(), "Could not read C:\\pagefile.sys");

        bool ranAfterwards = false;
        QTimer::singleShot(0, [&] { ranAfterwards = true; });
        EXPECT_TRUE(ProcessEventsUntil([&] { return ranAfterwards; }));
        EXPECT_EQ(test::ShownMessages().size(), 1u);
    }

    TEST_F(TarvoApplicationTest, AnythingButAStandardExceptionIsAnUnknownError)
    {
        QTimer::singleShot(0, [] { throw 42; });
        ASSERT_TRUE(ProcessEventsUntil([] { return !test::ShownMessages().empty(); }));
        EXPECT_EQ(test::ShownMessages().front(), "Unknown error");
    }

    TEST_F(TarvoApplicationTest, AButtonWhoseHandlerThrewKeepsWorking)
    {
        QWidget window;
        auto* button = new QPushButton(QStringLiteral("Go"), &window);
        button->setGeometry(0, 0, 80, 30);
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&] {
            if (++clicks == 1)
                throw std::invalid_argument("First click refused");
        });
        window.show();

        {
            const test::ExpectedQtLeaks unwoundThroughQt;
            Click(*button);
        }
        ASSERT_EQ(test::ShownMessages().size(), 1u);
        EXPECT_EQ(test::ShownMessages().front(), "First click refused");
        EXPECT_FALSE(button->isDown());

        Click(*button);
        EXPECT_EQ(clicks, 2);
        EXPECT_EQ(test::ShownMessages().size(), 1u);
    }

    TEST_F(TarvoApplicationTest, AnExceptionInAQueuedCallIsShownInTheOrderItHappened)
    {
        QObject context;
        for (const char* text : { "first", "second" })
            QMetaObject::invokeMethod(
                &context, [text] { throw std::runtime_error(text); }, Qt::QueuedConnection);
        ASSERT_TRUE(ProcessEventsUntil([] { return test::ShownMessages().size() == 2; }));
        EXPECT_EQ(test::ShownMessages()[0], "first");
        EXPECT_EQ(test::ShownMessages()[1], "second");
    }

    TEST_F(TarvoApplicationTest, TheDefaultSinkIsACriticalMessageBoxTitledTarvo)
    {
        TarvoApplication::SetExceptionSink({});
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        // The box is modal: look at it from a timer that ticks inside its own event loop.
        QTimer closer;
        closer.setInterval(5);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                box->accept();
            }
        });
        closer.start();
        bool shownAndClosed = false;
        QTimer::singleShot(0, [&] {
            TarvoApplication::ShowException(QStringLiteral("Out of paper"));
            shownAndClosed = true;
        });
        EXPECT_TRUE(ProcessEventsUntil([&] { return shownAndClosed; }));
        TarvoApplication::SetExceptionSink([](const QString& message) { test::ShownMessages().push_back(message); });

        EXPECT_EQ(title, "Tarvo");
        EXPECT_EQ(text, "Out of paper");
        EXPECT_EQ(icon, QMessageBox::Critical);
    }

} // namespace
} // namespace tarvo
