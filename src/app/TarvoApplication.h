#pragma once

#include <QApplication>

#include <exception>
#include <functional>
#include <utility>

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

    // Runs a handler and shows an exception that leaves it; false when one did. For handlers
    // that Qt calls from inside its own widget code (signals, event filters): Qt's frames are
    // not built to be unwound through, and an exception crossing them leaks and can leave a
    // widget half-way through its own handling. The message is shown once the handler has
    // finished, as a message box runs its own event loop and may meet further exceptions.
    template <class Handler> static bool Guard(Handler&& handler)
    {
        QString message;
        try {
            std::forward<Handler>(handler)();
            return true;
        } catch (const std::exception& error) {
            message = QString::fromUtf8(error.what());
        } catch (...) {
            message = QStringLiteral("Unknown error");
        }
        ShowException(message);
        return false;
    }
    // A slot that runs handler under Guard.
    template <class Handler> static auto Guarded(Handler handler)
    {
        return [handler = std::move(handler)] { Guard(handler); };
    }
};

} // namespace tarvo
