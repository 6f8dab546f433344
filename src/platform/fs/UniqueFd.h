#pragma once

#include <unistd.h>

#include <utility>

namespace tarvo
{

// Owns a POSIX file descriptor and closes it on every path out of a scope; -1 owns nothing.
class UniqueFd
{
public:
    explicit UniqueFd(int fd)
        : m_fd(fd)
    {
    }
    ~UniqueFd() { Reset(-1); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    [[nodiscard]] int Get() const { return m_fd; }
    [[nodiscard]] int Release() { return std::exchange(m_fd, -1); }
    void Reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

} // namespace tarvo
