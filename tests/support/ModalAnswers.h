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
inline void AnswerModals(const std::function<void()>& command, std::vector<std::function<void(QWidget&)>> steps)
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
        if (modal == nullptr || modal == answered)
            return;
        if (next < steps.size()) {
            answered = modal;
            steps[next++](*modal);
            return;
        }
        // A window no step expected, or one left open too long, must not hang the test run.
        if (auto* dialog = qobject_cast<QDialog*>(modal);
            dialog != nullptr && (std::chrono::steady_clock::now() > deadline || answered != dialog)) {
            unexpected.push_back(dialog->windowTitle());
            answered = dialog;
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
        }
    });
    poll.start();
    command();
    poll.stop();
    EXPECT_EQ(next, steps.size()) << "a modal window did not come";
    EXPECT_TRUE(unexpected.empty()) << "unexpected modal window: " << unexpected.front().toStdString();
}

} // namespace tarvo::test
