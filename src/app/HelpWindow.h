#pragma once

#include <QString>
#include <QTextBrowser>

#include <string>
#include <vector>

namespace tarvo
{

// The folders where the help file may lie, in the order they are tried: beside the executable,
// ../share/tarvo/ from it (an installed program), then tarvo/ in each folder of $XDG_DATA_DIRS
// (/usr/local/share and /usr/share when it is unset or empty; relative entries are ignored, as
// the base-directory rules say). Each ends with a separator.
[[nodiscard]] std::vector<std::string> HelpFilePlaces(const std::string& executableFolder, const char* xdgDataDirs);
// The places for the running program.
[[nodiscard]] std::vector<std::string> DefaultHelpFilePlaces();

// The help window: "Tarvo.html" in a non-modal window of its own, opened at an anchor.
class THelpWindow : public QTextBrowser
{
    Q_OBJECT

public:
    static constexpr const char* kFileName = "Tarvo.html";

    explicit THelpWindow(QWidget* owner = nullptr, std::vector<std::string> places = DefaultHelpFilePlaces());

    // Shows and raises the window at the anchor ("contents", "context-2", ...), loading the file
    // on first use. Throws std::runtime_error naming every place tried when the file is in none.
    void ShowTopic(const QString& anchor);
    // The anchor of a control's help context: "context-N" for 2 to 5, else "contents".
    [[nodiscard]] static QString ContextAnchor(int helpContext);
    // The file shown; empty until it was found.
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }

private:
    void Load();

    std::vector<std::string> m_places;
    std::string m_fileName;
};

} // namespace tarvo
