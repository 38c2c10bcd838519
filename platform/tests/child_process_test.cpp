#include "child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace vantrel {
namespace {

TEST(ChildProcess, ReportsAProgramThatCannotRunAsNotStarted) {
    const std::pair<const char*, int> cases[] = {{"/nonexistent/ffmpeg", ENOENT}, {"/", EACCES}};
    for (const auto& [path, error] : cases) {
        ChildProcess child;
        const auto result = child.Start({path, "-version"});
        EXPECT_FALSE(result.started) << path;
        EXPECT_EQ(result.error, error) << path;
        EXPECT_FALSE(child.started()) << path;
    }
}

TEST(ChildProcess, KillEndsTheWholeGroupAndItsPipeWriters) {
    ChildProcess child;
    // The grandchild keeps the output pipe open: only a group kill lets the pipe end.
    ASSERT_TRUE(child.Start({"/bin/sh", "-c", "sleep 1000 & echo started; wait"}).started);
    char buffer[16];
    ASSERT_GT(::read(child.outputFd(), buffer, sizeof buffer), 0);
    child.Kill();
    EXPECT_EQ(::read(child.outputFd(), buffer, sizeof buffer), 0);
    EXPECT_EQ(child.Reap(), 128 + SIGKILL);
}

TEST(ChildProcess, DestructorReapsARunningChild) {
    pid_t pid;
    {
        ChildProcess child;
        ASSERT_TRUE(child.Start({"/bin/sleep", "1000"}).started);
        pid = child.pid();
    }
    // Reaped: the pid is no longer ours to wait for.
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(ChildProcess, DiesWithTheProcessThatStartedIt) {
    // Orphans come to this test instead of to init, so it can wait for one.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int pidPipe[2];
    ASSERT_EQ(::pipe2(pidPipe, O_CLOEXEC), 0);
    const pid_t starter = ::fork();
    ASSERT_GE(starter, 0);
    if (starter == 0) {
        ChildProcess child;
        const pid_t pid = child.Start({"/bin/sleep", "1000"}).started ? child.pid() : -1;
        (void)!::write(pidPipe[1], &pid, sizeof pid);
        for (;;) ::pause();
    }
    pid_t orphan = -1;
    const ssize_t n = ::read(pidPipe[0], &orphan, sizeof orphan);
    ::kill(starter, SIGKILL);
    ::waitpid(starter, nullptr, 0);
    for (const int fd : pidPipe) ::close(fd);
    ASSERT_EQ(n, static_cast<ssize_t>(sizeof orphan));
    ASSERT_GT(orphan, 0);
    // A bound, so that a child left running fails the test instead of hanging it.
    pollfd ended{static_cast<int>(::syscall(SYS_pidfd_open, orphan, 0)), POLLIN, 0};
    const bool diedWithStarter = ::poll(&ended, 1, 30000) == 1;
    if (!diedWithStarter) ::kill(orphan, SIGKILL);
    int status = 0;
    ::waitpid(orphan, &status, 0);
    ::close(ended.fd);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    EXPECT_TRUE(diedWithStarter);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

}  // namespace
}  // namespace vantrel
