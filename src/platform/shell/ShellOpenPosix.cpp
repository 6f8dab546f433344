#include "ShellOpen.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tarvo
{

namespace
{

    constexpr const char* kOpener = "xdg-open";
    // What execvp would search when PATH is unset.
    constexpr const char* kDefaultSearchPath = "/usr/local/bin:/bin:/usr/bin";

    // The program's full name from PATH, found before forking: between fork and exec only
    // async-signal-safe calls are allowed (other threads may hold the allocator's locks), and
    // execvp is not one of them.
    std::string FindProgram(const std::string& name)
    {
        const char* variable = std::getenv("PATH");
        const std::string searchPath = (variable != nullptr && *variable != '\0') ? variable : kDefaultSearchPath;
        std::size_t start = 0;
        while (start <= searchPath.size()) {
            std::size_t end = searchPath.find(':', start);
            if (end == std::string::npos)
                end = searchPath.size();
            // An empty entry means the working folder, as the shell takes it.
            const std::string folder = end == start ? "." : searchPath.substr(start, end - start);
            const std::string candidate = folder + "/" + name;
            struct stat status {
            };
            if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode)
                && ::access(candidate.c_str(), X_OK) == 0)
                return candidate;
            start = end + 1;
        }
        return {};
    }

    void WriteErrno(int fd, int error) { [[maybe_unused]] const auto written = ::write(fd, &error, sizeof error); }

    bool MoveAboveStandardStreams(int& fd)
    {
        if (fd > STDERR_FILENO)
            return true;
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        if (moved < 0)
            return false;
        ::close(fd);
        fd = moved;
        return true;
    }

    // Runs in the grandchild: detached from our terminal session, standard streams on
    // /dev/null, no inherited descriptors or blocked signals, then the opener. Only
    // async-signal-safe calls; a failure is reported through the close-on-exec pipe.
    [[noreturn]] void ExecOpener(const char* program, char* const argv[], int reportFd)
    {
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0) {
            WriteErrno(reportFd, errno);
            ::_exit(127);
        }
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (null > STDERR_FILENO)
            ::close(null);
        // Everything above the report pipe goes; the pipe itself closes on exec.
        if (reportFd > STDERR_FILENO + 1)
            ::close_range(STDERR_FILENO + 1, static_cast<unsigned>(reportFd) - 1, 0);
        ::close_range(static_cast<unsigned>(reportFd) + 1, ~0U, 0);
        ::execve(program, argv, environ);
        WriteErrno(reportFd, errno);
        ::_exit(127);
    }

    bool StartOpener(const std::string& target)
    {
        const std::string program = FindProgram(kOpener);
        if (program.empty())
            return false;
        std::string argument0 = kOpener;
        std::string argument1 = target; // the raw bytes: no shell, no word splitting, no re-encoding
        std::vector<char*> argv { argument0.data(), argument1.data(), nullptr };

        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0)
            return false;
        // With a standard stream closed, the pipe may have taken its number, which the opener's
        // /dev/null streams are about to take over.
        if (!MoveAboveStandardStreams(report[0]) || !MoveAboveStandardStreams(report[1])) {
            ::close(report[0]);
            ::close(report[1]);
            return false;
        }

        // Two forks: the middle process ends at once and is reaped here, so the opener becomes
        // the init process's child and never lingers as our zombie, however long it runs.
        const pid_t middle = ::fork();
        if (middle < 0) {
            ::close(report[0]);
            ::close(report[1]);
            return false;
        }
        if (middle == 0) {
            ::close(report[0]);
            ::setsid();
            const pid_t opener = ::fork();
            if (opener < 0) {
                WriteErrno(report[1], errno);
                ::_exit(1);
            }
            if (opener == 0)
                ExecOpener(program.c_str(), argv.data(), report[1]);
            ::_exit(0);
        }

        ::close(report[1]);
        int status = 0;
        while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) { }
        // The pipe stays silent and closes when the opener's exec succeeded; otherwise it carries
        // the errno of what failed.
        int childError = 0;
        ssize_t got = 0;
        do {
            got = ::read(report[0], &childError, sizeof childError);
        } while (got < 0 && errno == EINTR);
        ::close(report[0]);
        return got == 0;
    }

} // namespace

bool ShellOpenFolder(const std::string& path) { return StartOpener(path); }

bool ShellOpenUrl(const std::string& url) { return StartOpener(url); }

} // namespace tarvo
