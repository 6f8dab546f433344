#pragma once

#include <QString>

#include <stdexcept>

namespace tarvo
{

// Raised when a metafile cannot be written or is used against its rules (an empty object slot,
// RestoreDC without SaveDC). The message is meant for the user and names the file when there is one.
class MetafileError : public std::runtime_error
{
public:
    explicit MetafileError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
};

} // namespace tarvo
