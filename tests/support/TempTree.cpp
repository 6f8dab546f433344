#include "TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarvo::test
{

namespace
{

    void Check(bool ok, const std::string& what)
    {
        if (!ok)
            ADD_FAILURE() << what << ": " << std::strerror(errno);
    }

} // namespace

TempTree::TempTree()
{
    char pattern[] = "/tmp/tarvo-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    Check(made != nullptr, "mkdtemp");
    m_path = made ? made : "/tmp";
}

TempTree::~TempTree()
{
    // GNU rm copes with chains deeper than PATH_MAX and with any name.
    RunProgram({ "rm", "-rf", "--", m_path });
}

void TempTree::Folder(const std::string& relative) const
{
    Check(mkdir((m_path + "/" + relative).c_str(), 0755) == 0, "mkdir " + relative);
}

void TempTree::File(const std::string& relative, std::int64_t sizeBytes) const
{
    const std::string path = m_path + "/" + relative;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    Check(fd >= 0, "create " + relative);
    if (fd >= 0) {
        Check(ftruncate(fd, static_cast<off_t>(sizeBytes)) == 0, "ftruncate " + relative);
        close(fd);
    }
}

void TempTree::Link(const std::string& relative, const std::string& target) const
{
    Check(symlink(target.c_str(), (m_path + "/" + relative).c_str()) == 0, "symlink " + relative);
}

void TempTree::HardLink(const std::string& existing, const std::string& relative) const
{
    Check(link((m_path + "/" + existing).c_str(), (m_path + "/" + relative).c_str()) == 0, "link " + relative);
}

void TempTree::Fifo(const std::string& relative) const
{
    Check(mkfifo((m_path + "/" + relative).c_str(), 0644) == 0, "mkfifo " + relative);
}

void TempTree::DeepChain(const std::string& relative, int depth, std::int64_t fileBytes) const
{
    int fd = open((m_path + "/" + relative).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(fd >= 0, "open " + relative);
    for (int level = 0; level < depth && fd >= 0; ++level) {
        Check(mkdirat(fd, "d", 0755) == 0, "mkdirat");
        int child = openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(fd);
        fd = child;
    }
    if (fd >= 0) {
        int file = openat(fd, "bottom", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        Check(file >= 0 && ftruncate(file, static_cast<off_t>(fileBytes)) == 0, "bottom file");
        if (file >= 0)
            close(file);
        close(fd);
    }
}

std::string RunProgram(const std::vector<std::string>& argv, int* exitCode, std::string* errors)
{
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) {
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);

    // Read both pipes without letting either fill up and block the child.
    std::string output;
    std::string errorText;
    char buffer[65536];
    int fds[2] = { out[0], err[0] };
    std::string* sinks[2] = { &output, &errorText };
    for (int i = 0; i < 2; ++i)
        fcntl(fds[i], F_SETFL, O_NONBLOCK);
    bool live[2] = { true, true };
    while (live[0] || live[1]) {
        bool progressed = false;
        for (int i = 0; i < 2; ++i) {
            if (!live[i])
                continue;
            const ssize_t n = read(fds[i], buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
                progressed = true;
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                live[i] = false;
            }
        }
        if (!progressed)
            usleep(1000);
    }
    close(out[0]);
    close(err[0]);

    int status = -1;
    if (spawned == 0)
        waitpid(pid, &status, 0);
    if (exitCode)
        *exitCode = spawned == 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (errors)
        *errors = errorText;
    return output;
}

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteFile(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

std::int64_t FindApparentBytes(const std::string& folder)
{
    int exitCode = -1;
    const std::string sizes
        = RunProgram({ "find", folder, "-mindepth", "1", "!", "-type", "d", "-printf", "%y %s %n\\n" }, &exitCode);
    EXPECT_EQ(exitCode, 0) << "find failed on " << folder;
    std::int64_t sum = 0;
    std::istringstream lines(sizes);
    char type = 0;
    std::int64_t size = 0;
    std::int64_t names = 0;
    while (lines >> type >> size >> names)
        sum += type == 'f' && names > 1 ? size / names : size;
    return sum;
}

} // namespace tarvo::test
