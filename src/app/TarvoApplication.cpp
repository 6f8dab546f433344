#include "TarvoApplication.h"

#include <QMessageBox>
#include <QPointer>

#include <exception>
#include <utility>

namespace tarvo
{

namespace
{

    void ShowInMessageBox(const QString& message)
    {
        // The box runs its own event loop; the widget it is parented to may go away meanwhile.
        const QPointer<QWidget> owner = QApplication::activeWindow();
        QMessageBox::critical(owner.data(), QStringLiteral("Tarvo"), message);
    }

    std::function<void(const QString&)>& Sink()
    {
        static std::function<void(const QString&)> sink = ShowInMessageBox;
        return sink;
    }

} // namespace

TarvoApplication::TarvoApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool TarvoApplication::notify(QObject* receiver, QEvent* event)
{
    // Every event handler runs below this call, so this is the last place where an exception
    // that nobody handled can still be shown to the user instead of ending the program. The
    // event counts as not handled.
    bool handled = false;
    return Guard([&] { handled = QApplication::notify(receiver, event); }) && handled;
}

void TarvoApplication::SetExceptionSink(std::function<void(const QString& message)> sink)
{
    Sink() = sink ? std::move(sink) : ShowInMessageBox;
}

void TarvoApplication::ShowException(const QString& message)
{
    // A copy: the sink may replace itself while it runs.
    const auto sink = Sink();
    sink(message);
}

} // namespace tarvo
