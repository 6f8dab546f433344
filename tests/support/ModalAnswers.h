#pragma once

// Answers the modal windows (dialogs, message boxes) that a command opens while it runs.

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

namespace tarvo::test
{

// Steps that answer the modal windows a command opens, in order: each runs on the modal
// widget on top once it is there. A step that closes its window should do so from the event
// loop (a zero timer): a question that window asks must find the steps free to answer it.
// One answer: what it does to the window, and which windows it answers (any, unless made with
// On<Window>: a window of that class; others on top meanwhile are left for later).
struct ModalStep {
    template <typename Act>
    ModalStep(Act act) // NOLINT: any callable on QWidget& is a step for any window
        : act(std::move(act))
    {
    }
    template <typename Window> static ModalStep On(std::function<void(Window&)> answer)
    {
        ModalStep step([answer](QWidget& modal) { answer(static_cast<Window&>(modal)); });
        step.matches = [](QWidget& modal) { return qobject_cast<Window*>(&modal) != nullptr; };
        return step;
    }

    std::function<void(QWidget&)> act;
    std::function<bool(QWidget&)> matches = [](QWidget&) { return true; };
};

inline void AnswerModals(const std::function<void()>& command, std::vector<ModalStep> steps)
{
    std::size_t next = 0;
    QWidget* answered = nullptr;
    std::vector<QString> unexpected;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        // Each step answers another window than the one before it: the dialog a question came
        // from is answered again only once the question has been on top.
        if (modal == nullptr)
            return;
        // A window left open too long, whatever the steps expected, must not hang the run.
        if (std::chrono::steady_clock::now() > deadline) {
            unexpected.push_back(modal->windowTitle() + QStringLiteral(" (still open after 30 s)"));
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
            return;
        }
        if (modal == answered)
            return;
        if (next < steps.size()) {
            if (!steps[next].matches(*modal))
                return;
            answered = modal;
            steps[next++].act(*modal);
            return;
        }
        // A window no step expected.
        unexpected.push_back(modal->windowTitle());
        answered = modal;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
    });
    poll.start();
    command();
    poll.stop();
    EXPECT_EQ(next, steps.size()) << "a modal window did not come";
    EXPECT_TRUE(unexpected.empty()) << "unexpected modal window: " << unexpected.front().toStdString();
}

} // namespace tarvo::test
