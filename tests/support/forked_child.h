#pragma once

// A child process of the test that cannot outlive it: one still running when its guard goes out of
// scope (a failed ASSERT returned early, an exception passed by) is killed and reaped there. A
// child left behind would keep the test's output pipe open, so the test runner would wait for it
// until its timeout instead of reporting the failure.

#include <csignal>
#include <utility>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

class ForkedChild
{
public:
    /// Takes what fork() gave: the child's id in the parent, 0 in the child, -1 when it failed.
    /// Only a child's id (greater than 0) is ever killed or waited for.
    explicit ForkedChild(pid_t pid)
        : m_pid(pid)
    {
    }
    ~ForkedChild() { Kill(); }
    ForkedChild(ForkedChild&& other) noexcept
        : m_pid(std::exchange(other.m_pid, -1))
    {
    }
    ForkedChild& operator=(ForkedChild&&) = delete;
    ForkedChild(const ForkedChild&) = delete;
    ForkedChild& operator=(const ForkedChild&) = delete;

    /// True in the child, which must end with _exit and never return into the test.
    bool InChild() const { return m_pid == 0; }
    pid_t Pid() const { return m_pid; }

    /// Waits for the child to end by itself; its wait status (-1 when there is no child to wait
    /// for).
    int Wait()
    {
        int status = -1;
        if (m_pid > 0) {
            if (::waitpid(m_pid, &status, 0) != m_pid)
                status = -1;
            m_pid = -1;
        }
        return status;
    }

    /// Kills the child with SIGKILL and waits for it; its wait status, as Wait.
    int Kill()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGKILL);
        return Wait();
    }

private:
    pid_t m_pid;
};
