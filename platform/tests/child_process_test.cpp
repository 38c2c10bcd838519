#include "platform/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantrel {
namespace {

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
