#pragma once

#include "PathStyle.h"

#include <functional>
#include <string>

class QFileDialog;
class QLabel;
class QWidget;

namespace tarvo
{

// What the browse dialog shows beside its folders: the whole computer ("/" and home) or the
// user's own places (home and desktop).
enum class TRootItem { riMyComputer, riDesktop };
using enum TRootItem;

// The folder browse dialog: Qt's own folder dialog (alike on every desktop), shown modally over
// its owner. Paths are bytes in the file system's encoding. An exception from OnShow or
// OnSelect is shown in a message box and the dialog goes on.
class TPathDialog
{
public:
    using TNotifyEvent = std::function<void(TPathDialog& sender)>;
    using TSelectEvent = std::function<void(TPathDialog& sender, const std::string& path)>;

    explicit TPathDialog(QWidget* owner, const PathStyle& style = PathStyle::Host());
    ~TPathDialog();
    TPathDialog(const TPathDialog&) = delete;
    TPathDialog& operator=(const TPathDialog&) = delete;

    [[nodiscard]] const std::string& Title() const { return m_title; }
    void SetTitle(std::string value) { m_title = std::move(value); }
    // The folder to start in; after a confirmed Execute the folder chosen ("/" for the root,
    // others without a trailing separator). Written with a trailing separator it is stored
    // without it ("C:\" as "C:"), except the root "/"; empty stores the process's folder.
    [[nodiscard]] const std::string& Directory() const { return m_directory; }
    void SetDirectory(const std::string& value);
    [[nodiscard]] bool ShowStatus() const { return m_showStatus; }
    void SetShowStatus(bool value) { m_showStatus = value; }
    // The status line under the dialog's controls (only with ShowStatus), updated while open.
    [[nodiscard]] const std::string& StatusText() const { return m_statusText; }
    void SetStatusText(std::string value);
    [[nodiscard]] TRootItem RootItem() const { return m_rootItem; }
    void SetRootItem(TRootItem value) { m_rootItem = value; }

    // Raised once the dialog is on screen, and whenever the highlighted folder changes.
    TNotifyEvent OnShow;
    TSelectEvent OnSelect;

    // Shows the dialog; true when the user confirmed a folder, which is then in Directory.
    bool Execute();

    // The open dialog, for its owner's tests; null while none is open.
    [[nodiscard]] QFileDialog* OpenDialog() const { return m_dialog; }
    [[nodiscard]] QLabel* StatusLine() const { return m_statusLine; }

private:
    // Runs an event; a std::exception becomes a message box over the dialog.
    void Raise(const std::function<void()>& event);
    void ShowDirectory();

    QWidget* m_owner;
    const PathStyle& m_style;
    std::string m_title;
    std::string m_directory;
    bool m_showStatus = false;
    std::string m_statusText;
    TRootItem m_rootItem = riMyComputer;
    QFileDialog* m_dialog = nullptr;
    QLabel* m_statusLine = nullptr;
};

} // namespace tarvo
