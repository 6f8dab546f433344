#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace tarvo
{

// Paths stay byte strings in the program; these convert only for display and for keeping the
// bytes beside a displayed item. A name that is not UTF-8 shows replacement characters but its
// bytes survive in the item's data.
[[nodiscard]] inline QString PathToDisplay(const std::string& path)
{
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}
[[nodiscard]] inline QByteArray PathToBytes(const std::string& path)
{
    return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}
[[nodiscard]] inline std::string BytesToPath(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace tarvo
