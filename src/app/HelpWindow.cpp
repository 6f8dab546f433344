#include "HelpWindow.h"

#include "SystemPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace tarvo
{

namespace
{

    std::string AsFolder(const std::string& path)
    {
        std::string folder = QDir::cleanPath(QString::fromStdString(path)).toStdString();
        if (folder.empty() || folder.back() != '/')
            folder += '/';
        return folder;
    }

} // namespace

std::vector<std::string> HelpFilePlaces(const std::string& executableFolder, const char* xdgDataDirs)
{
    std::vector<std::string> places;
    const auto add = [&places](const std::string& folder) {
        if (std::find(places.begin(), places.end(), folder) == places.end())
            places.push_back(folder);
    };
    if (!executableFolder.empty()) {
        add(AsFolder(executableFolder));
        add(AsFolder(executableFolder + "/../share/tarvo"));
    }
    const std::string dataDirs
        = xdgDataDirs != nullptr && *xdgDataDirs != '\0' ? xdgDataDirs : "/usr/local/share/:/usr/share/";
    std::size_t start = 0;
    while (start <= dataDirs.size()) {
        std::size_t end = dataDirs.find(':', start);
        if (end == std::string::npos)
            end = dataDirs.size();
        const std::string folder = dataDirs.substr(start, end - start);
        if (folder.starts_with('/'))
            add(AsFolder(folder + "/tarvo"));
        start = end + 1;
    }
    return places;
}

std::vector<std::string> DefaultHelpFilePlaces()
{
    return HelpFilePlaces(ExecutableFolder(), std::getenv("XDG_DATA_DIRS"));
}

THelpWindow::THelpWindow(QWidget* owner, std::vector<std::string> places)
    : QTextBrowser(owner)
    , m_places(std::move(places))
{
    setObjectName(QStringLiteral("HelpWindow"));
    // A window of its own beside the main window, never blocking it.
    setWindowFlag(Qt::Window);
    setWindowModality(Qt::NonModal);
    setWindowTitle(QStringLiteral("Tarvo Help"));
    setOpenExternalLinks(true);
    resize(640, 600);
    // A window of its own closes the way the desktop's other windows do; Ctrl+W also where the
    // desktop's "close" is another key. Each sequence once: two shortcuts on one key fire neither.
    QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    closeKeys << QKeySequence(Qt::Key_Escape) << QKeySequence(Qt::CTRL | Qt::Key_W);
    QList<QKeySequence> added;
    for (const QKeySequence& keys : std::as_const(closeKeys)) {
        if (keys.isEmpty() || added.contains(keys))
            continue;
        added << keys;
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
}

QString THelpWindow::ContextAnchor(int helpContext)
{
    if (helpContext >= 2 && helpContext <= 5)
        return QStringLiteral("context-%1").arg(helpContext);
    return QStringLiteral("contents");
}

void THelpWindow::Load()
{
    for (const std::string& folder : m_places) {
        const std::string candidate = folder + kFileName;
        const QFileInfo file(QString::fromStdString(candidate));
        if (file.isFile() && file.isReadable()) {
            setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
            m_fileName = candidate;
            return;
        }
    }
    std::string message = std::string("The help file ") + kFileName + " was not found. Places tried:";
    for (const std::string& folder : m_places)
        message += "\n" + folder;
    throw std::runtime_error(message);
}

void THelpWindow::ShowTopic(const QString& anchor)
{
    if (m_fileName.empty())
        Load();
    show();
    raise();
    activateWindow();
    scrollToAnchor(anchor);
}

} // namespace tarvo
