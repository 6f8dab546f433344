#pragma once

#include "AboutBox.h"

#include <QObject>
#include <QString>

namespace tarvo
{

// The about component the main window owns: it carries the product's texts and, on Execute,
// makes the about window, fills it, shows it modally and destroys it again.
class TAboutBoxDlg : public QObject
{
    Q_OBJECT

public:
    // Without a source of system information the running machine's is used, over a file system
    // of its own that lives as long as the process (free-space helpers may outlive the window).
    explicit TAboutBoxDlg(QObject* owner = nullptr, AboutEnvironment environment = {});

    [[nodiscard]] const QString& ProductName() const { return m_productName; }
    void SetProductName(const QString& value) { m_productName = value; }
    // Kept, but never shown: the window shows the program's own version.
    [[nodiscard]] const QString& Version() const { return m_version; }
    void SetVersion(const QString& value) { m_version = value; }
    [[nodiscard]] const QString& Copyright() const { return m_copyright; }
    void SetCopyright(const QString& value) { m_copyright = value; }
    [[nodiscard]] const QString& Comments() const { return m_comments; }
    void SetComments(const QString& value) { m_comments = value; }

    // True only when the window was closed with the OK result; its close button gives false.
    bool Execute();

private:
    AboutEnvironment m_env;
    QString m_productName = QStringLiteral("Tarvo");
    QString m_version = QStringLiteral("1.0");
    QString m_copyright = QStringLiteral("2024 J. Tarvonen, Oskavel");
    QString m_comments;
};

} // namespace tarvo
