#include "AboutBoxDlg.h"

#include "FileSystem.h"

#include <QApplication>
#include <QWidget>

#include <memory>
#include <utility>

namespace tarvo
{

namespace
{

    FileSystem& ProcessFileSystem()
    {
        static FileSystem* fileSystem = MakeHostFileSystem().release();
        return *fileSystem;
    }

} // namespace

TAboutBoxDlg::TAboutBoxDlg(QObject* owner, AboutEnvironment environment)
    : QObject(owner)
    , m_env(std::move(environment))
{
}

bool TAboutBoxDlg::Execute()
{
    if (!m_env.systemInfo)
        m_env.systemInfo = MakeHostSystemInfo(ProcessFileSystem());
    QWidget* ownerWindow = qobject_cast<QWidget*>(parent());
    TAboutBox box(m_env, ownerWindow != nullptr ? ownerWindow->window() : QApplication::activeWindow());
    box.LoadBackground();
    box.FitComments();
    box.ShowSystem();
    box.ShowDisks();
    box.ShowProduct(m_productName, m_copyright, m_comments);
    box.ShowCaption();
    return box.exec() == QDialog::Accepted;
}

} // namespace tarvo
