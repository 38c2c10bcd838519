#include "child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantrel {
namespace {

TEST(ChildProcess, AProgramThatCannotRunIsNotStarted) {
    for (const auto& [path, error] : {std::pair("/nonexistent/ffmpeg", ENOENT), {"/", EACCES}}) {
        ChildProcess child;
        const auto result = child.Start({path, "-version"});
        EXPECT_TRUE(!result.started && result.error == error && !child.started()) << path;
    }
}

// Ending a running child ends its whole group, so a grandchild that holds the
// output ends too, and reaps the child: no zombie is left.
TEST(ChildProcess, EndingItEndsTheWholeGroupAndReapsIt) {
    int output;
    char buffer[16];
    {
        ChildProcess child;
        ASSERT_TRUE(child.Start({"/bin/sh", "-c", "sleep 1000 & echo started; wait"}).started);
        output = ::dup(child.outputFd());
        ASSERT_GT(::read(output, buffer, sizeof buffer), 0);
    }
    EXPECT_EQ(::read(output, buffer, sizeof buffer), 0);  // no writer is left
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // no child left, not even a zombie
    ::close(output);
}

TEST(ChildProcess, DiesWithTheProcessThatStartedIt) {
    // Orphans come to this test instead of to init, so it can wait for one.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const pid_t starter = ::fork();
    if (starter == 0) {
        ChildProcess child;
        child.Start({"/bin/sleep", "60"});
        ::kill(::getpid(), SIGKILL);  // the starter dies; its child, had it lived on, is ours
    }
    ::waitpid(starter, nullptr, 0);
    // Left running, the orphan would end by itself in a minute, with status 0.
    int status = 0;
    EXPECT_GT(::waitpid(-1, &status, 0), 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

}  // namespace
}  // namespace vantrel
