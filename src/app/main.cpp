#include "ActionIcons.h"
#include "FileSystem.h"
#include "HistoryFiles.h"
#include "MainForm.h"
#include "ShellOpen.h"
#include "TarvoApplication.h"

#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace
{

// --help and --version answer on standard output without a display; every other argument is
// left to Qt (-platform, -style, ...). The exit status when one of ours was given.
std::optional<int> AnswerOwnOption(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") {
            std::cout << "tarvo " TARVO_VERSION "\n";
        } else if (argument == "--help" || argument == "-h") {
            std::cout << "Usage: tarvo [Qt options]\n"
                         "       tarvo --help | --version\n\n"
                         "Shows where the space on a disk goes: pick a folder, press F9, and see each\n"
                         "subfolder's total as a size list, a bar chart and a 3D pie. F1 opens the help;\n"
                         "tarvo-scan measures the same way on the command line. See tarvo(1).\n";
        } else {
            continue;
        }
        std::cout.flush();
        return std::cout ? 0 : 1;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> status = AnswerOwnOption(argc, argv))
        return *status;
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
        environment.historyFileName = tarvo::DefaultHistoryFileName();
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
