#pragma once

// Answers the modal windows (dialogs, message boxes) that a command opens while it runs.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

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
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        // Each step answers another window than the one before it: the dialog a question came
        // from is answered again only once the question has been on top.
        if (modal == nullptr || next >= steps.size() || modal == answered)
            return;
        answered = modal;
        steps[next++](*modal);
    });
    poll.start();
    command();
    poll.stop();
    EXPECT_EQ(next, steps.size()) << "a modal window did not come";
}

} // namespace tarvo::test
