#include "child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace vantrel {
namespace {

std::string ReadAll(int fd) {
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    return text;
}

TEST(ChildProcess, StandardOutputAndErrorShareOnePipe) {
    ChildProcess child;
    ASSERT_TRUE(child.Start({"/bin/sh", "-c", "echo out; echo err >&2; exit 3"}).started);
    EXPECT_EQ(ReadAll(child.outputFd()), "out\nerr\n");
    EXPECT_EQ(child.Reap(), 3);
    EXPECT_EQ(child.Reap(), 3);
}

TEST(ChildProcess, ArgumentsArriveAsSeparateWordsUntouched) {
    ChildProcess child;
    const std::string odd = "a \"b\" c;$(x)\\ -y";
    ASSERT_TRUE(child.Start({"/bin/sh", "-c", "printf '%s|' \"$@\"", "sh", odd, ""}).started);
    EXPECT_EQ(ReadAll(child.outputFd()), odd + "||");
}

TEST(ChildProcess, ReportsAProgramThatCannotRun) {
    const struct {
        const char* path;
        int error;
    } cases[] = {{"/nonexistent/ffmpeg", ENOENT}, {"/", EACCES}};
    for (const auto& c : cases) {
        ChildProcess child;
        const auto result = child.Start({c.path, "-version"});
        EXPECT_FALSE(result.started) << c.path;
        EXPECT_EQ(result.error, c.error) << c.path;
        EXPECT_FALSE(child.started());
    }
}

TEST(ChildProcess, KillEndsTheWholeGroupAndItsPipeWriters) {
    ChildProcess child;
    // The grandchild keeps the output pipe open; killing the group must end it
    // too, or the read below would never see the end.
    ASSERT_TRUE(child.Start({"/bin/sh", "-c", "sleep 1000 & echo started; wait"}).started);
    char buffer[16];
    ASSERT_GT(::read(child.outputFd(), buffer, sizeof buffer), 0);
    child.Kill();
    EXPECT_EQ(ReadAll(child.outputFd()), "");
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

}  // namespace
}  // namespace vantrel
