#pragma once

#include <QApplication>

#include <functional>

namespace tarvo
{

// The application object: an exception that leaves an event handler is shown in a message box
// with its message, and the program carries on.
class TarvoApplication : public QApplication
{
    Q_OBJECT

public:
    TarvoApplication(int& argc, char** argv);

    // Delivers the event; an exception thrown by the handler is caught here and shown
    // (std::exception: its what(); anything else: "Unknown error"), and the event counts as
    // not handled.
    bool notify(QObject* receiver, QEvent* event) override;

    // Where the messages of escaped exceptions go; by default (and when sink is empty) a
    // critical message box titled "Tarvo" over the active window. Tests capture them instead.
    static void SetExceptionSink(std::function<void(const QString& message)> sink);
    static void ShowException(const QString& message);
};

} // namespace tarvo
