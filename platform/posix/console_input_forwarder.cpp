#include "platform/console_input_forwarder.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <system_error>

namespace vantrel {

bool ConsoleInputForwarder::Start(int sourceFd, ChildProcess& encoder) {
    Stop();
    active_ = true;
    try {
        thread_ = std::thread(&ConsoleInputForwarder::Run, this, sourceFd, &encoder);
    } catch (const std::system_error&) {
        active_ = false;
        return false;
    }
    return true;
}

void ConsoleInputForwarder::Stop() {
    active_ = false;
    if (thread_.joinable()) thread_.join();
}

void ConsoleInputForwarder::Run(int sourceFd, ChildProcess* encoder) {
    constexpr int kPollMilliseconds = 50;
    // A write to the pipe of an encoder that has gone must fail with EPIPE
    // rather than end this program; SIGPIPE goes to the writing thread.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    while (active_) {
        // A program started in the background of a shell would be stopped by
        // SIGTTIN if it read the terminal: leave the keys to the foreground.
        if (::isatty(sourceFd) && ::tcgetpgrp(sourceFd) != ::getpgrp()) {
            ::poll(nullptr, 0, kPollMilliseconds);
            continue;
        }
        pollfd p{sourceFd, POLLIN, 0};
        const int ready = ::poll(&p, 1, kPollMilliseconds);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (p.revents & (POLLNVAL | POLLERR)) != 0) return;
        if (ready == 0) continue;
        char c;
        const ssize_t n = ::read(sourceFd, &c, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return;  // end of our input, or it is unusable
        if (!encoder->WriteInput(&c, 1)) return;  // EPIPE: the encoder has gone
    }
}

}  // namespace vantrel
