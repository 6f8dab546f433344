#pragma once

#include <QGuiApplication>

namespace tarvo
{

// Shows the hourglass for as long as it lives, also when the work in between throws. Override
// cursors stack, so a nested one hands the hourglass back to the outer one when it goes.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace tarvo
