#include "ActionIcons.h"
#include "FileSystem.h"
#include "MainForm.h"
#include "ShellOpen.h"
#include "TarvoApplication.h"

#include <stdexcept>
#include <string>
#include <utility>

int main(int argc, char** argv)
{
    tarvo::TarvoApplication application(argc, argv);
    // Only the name, not a display name: Qt would append a display name to every window
    // caption ("Tarvo from Oskavel ... — Tarvo").
    tarvo::TarvoApplication::setApplicationName(QStringLiteral("Tarvo"));
    // Lets the desktop match the running window with the installed tarvo.desktop entry.
    tarvo::TarvoApplication::setDesktopFileName(QStringLiteral("tarvo"));
    tarvo::TarvoApplication::setWindowIcon(tarvo::ApplicationIcon());

    const auto fileSystem = tarvo::MakeHostFileSystem();
    int exitCode = 0;
    {
        // The window goes before the application object and the file system it uses.
        tarvo::MainFormEnvironment environment;
        environment.fileSystem = fileSystem.get();
        // No settings file is named: the window chooses it, so that what it cannot use is said in it.

        // Called from the popup menu: the exception reaches the application's message box.
        environment.openFolder = [](const std::string& path) {
            if (!tarvo::ShellOpenFolder(path))
                throw std::runtime_error("Could not start xdg-open to open " + path);
        };
        tarvo::TForm1 Form1(std::move(environment));
        Form1.show();
        exitCode = tarvo::TarvoApplication::exec();
    }
    return exitCode;
}
