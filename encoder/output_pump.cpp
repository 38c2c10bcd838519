#include "output_pump.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>

#include "encoder_output_parser.h"
#include "text_scan.h"

namespace vantrel {
namespace {

constexpr size_t kChunkSize = 511;
constexpr int kMaxDecodeFailures = 10;
// A read that fails for another reason than the end is retried after a short
// pause, a bounded number of times.
constexpr int kReadRetryPauseMs = 10;
constexpr int kMaxReadRetries = 200;
constexpr int kDrainAfterExitMs = 1000;

constexpr char kNoSpaceMarker[] = "No space left on device";

// Finds the marker even when a chunk boundary cuts it, by keeping the tail of
// the previous chunk.
class MarkerWatch {
public:
    bool Seen(const char* chunk, size_t length) {
        if (found_) return true;
        std::string text = tail_;
        text.append(chunk, length);
        found_ = FindSubstring(kNoSpaceMarker, text.c_str()) >= 0;
        const size_t keep = sizeof kNoSpaceMarker - 2;
        tail_ = text.size() > keep ? text.substr(text.size() - keep) : text;
        return found_;
    }

private:
    std::string tail_;
    bool found_ = false;
};

// ffmpeg writes a report a line at a time. A reader that falls behind (a busy
// machine) finds several lines in the pipe at once, and a read of a full chunk
// ends at an arbitrary byte: inside the clock time of "Duration:", say, which
// is then lost. So the parser gets whole lines, each still at most a chunk: a
// line ends with LF, or with a CR not followed by LF (a progress line, handed
// on at once), and an unfinished line waits for its rest unless it fills a
// whole chunk on its own.
class LineAssembler {
public:
    char* space() { return buffer_ + held_; }
    size_t room() const { return kChunkSize - held_; }

    // `n` more bytes arrived in space(); hands each whole line to `take`.
    template <class Take>
    void Add(size_t n, Take&& take) {
        held_ += n;
        size_t begin = 0;
        for (size_t i = 0; i < held_; ++i) {
            const char c = buffer_[i];
            if (c == '\n' || (c == '\r' && (i + 1 == held_ || buffer_[i + 1] != '\n'))) {
                Hand(begin, i + 1, take);
                begin = i + 1;
            }
        }
        if (begin == 0 && held_ == kChunkSize) begin = Hand(0, held_, take);
        std::memmove(buffer_, buffer_ + begin, held_ - begin);
        held_ -= begin;
    }

    // The output has ended: whatever is left is the last line.
    template <class Take>
    void Flush(Take&& take) {
        if (held_ > 0) Hand(0, held_, take);
        held_ = 0;
    }

private:
    template <class Take>
    size_t Hand(size_t begin, size_t end, Take& take) {
        const char kept = buffer_[end];
        buffer_[end] = '\0';
        take(buffer_ + begin);
        buffer_[end] = kept;
        return end;
    }

    char buffer_[kChunkSize + 1] = {};
    size_t held_ = 0;
};

PumpResult Finish(ChildProcess& child, RunStatus status, bool noSpace) {
    child.Kill();
    return {status, child.Reap(), noSpace};
}

// The output has ended; the encoder normally exits with it. Wait for that (a
// stop still ends the wait), then clear out anything left in its group while
// its pid is still reserved by the unreaped zombie.
PumpResult FinishAtEndOfOutput(ChildProcess& child, const StopSignal* stop, bool noSpace) {
    if (child.exitFd() < 0) {
        // No way to wait and watch the stop signal together: just reap. Do
        // not kill first, or a clean exit could be turned into a failure.
        const int exitCode = child.Reap();
        return {kOutputEnded, exitCode, noSpace};
    }
    {
        for (;;) {
            pollfd fds[2] = {{child.exitFd(), POLLIN, 0}, {-1, POLLIN, 0}};
            if (stop != nullptr) fds[1].fd = stop->fd();
            const int ready = ::poll(fds, 2, -1);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0 || (fds[0].revents & POLLIN) != 0) break;
            if ((fds[1].revents & POLLIN) != 0) return Finish(child, kStopRequested, noSpace);
        }
    }
    return Finish(child, kOutputEnded, noSpace);
}

}  // namespace

PumpResult PumpEncoderOutput(ChildProcess& child, ParserState& state, EncoderReportSink& sink,
                             const PumpSettings& settings) {
    state.positionSeconds = 0;
    if (state.progressBase == 0) state.progressPercent = 0.0f;
    state.decodeFailures = 0;

    MarkerWatch noSpace;
    bool childExited = false;
    int readRetries = 0;
    LineAssembler lines;
    bool sawNoSpace = false;
    // A NUL inside a line ends the text the parser sees, as it would for any
    // C-string reader.
    const auto parse = [&](const char* line) {
        ParseEncoderOutput(state, sink, line);
        sawNoSpace = noSpace.Seen(line, std::strlen(line));
    };

    for (;;) {
        pollfd fds[3];
        nfds_t count = 0;
        fds[count++] = {child.outputFd(), POLLIN, 0};
        const int stopIndex = settings.stop != nullptr && settings.stop->fd() >= 0 ? 1 : -1;
        if (stopIndex >= 0) fds[count++] = {settings.stop->fd(), POLLIN, 0};
        const int exitIndex = !childExited && child.exitFd() >= 0 ? static_cast<int>(count) : -1;
        if (exitIndex >= 0) fds[count++] = {child.exitFd(), POLLIN, 0};

        // Once the encoder has ended, whatever still holds its pipe (something
        // that left its process group) gets a bounded time to finish writing.
        const int timeout = readRetries > 0 ? kReadRetryPauseMs : childExited ? kDrainAfterExitMs : -1;
        const int ready = ::poll(fds, count, timeout);
        if (ready == 0 && childExited && readRetries == 0) {
            lines.Flush(parse);
            state.progressPercent = 100.0f;
            PostProgress(state, sink);
            return Finish(child, kOutputEnded, noSpace.Seen("", 0));
        }
        if (ready < 0 && errno != EINTR) {
            if (++readRetries > kMaxReadRetries) return Finish(child, kOutputEnded, false);
            continue;
        }

        if (exitIndex >= 0 && (fds[exitIndex].revents & POLLIN) != 0) {
            // The encoder has ended. Something it started may still hold the
            // pipe; end it, so the rest of the output drains and the pipe closes.
            childExited = true;
            child.Kill();
        }

        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0 || readRetries > 0) {
            const ssize_t n = ::read(child.outputFd(), lines.space(), lines.room());
            if (n > 0) {
                readRetries = 0;
                lines.Add(static_cast<size_t>(n), parse);

                if (settings.freeSpace != nullptr) {
                    const auto free = settings.freeSpace->FreeBytes(settings.watchedFolder);
                    if (free && *free == 0) return Finish(child, kDriveFull, sawNoSpace);
                }
                if (state.decodeFailures > kMaxDecodeFailures) {
                    return Finish(child, kTooManyDecodeErrors, sawNoSpace);
                }
                if (settings.stop != nullptr && settings.stop->IsSignalled()) {
                    return Finish(child, kStopRequested, sawNoSpace);
                }
                continue;
            }
            if (n == 0) {
                lines.Flush(parse);
                state.progressPercent = 100.0f;
                PostProgress(state, sink);
                return FinishAtEndOfOutput(child, settings.stop, noSpace.Seen("", 0));
            }
            if (errno != EINTR && errno != EAGAIN) {
                if (++readRetries > kMaxReadRetries) {
                    return Finish(child, kOutputEnded, noSpace.Seen("", 0));
                }
            }
        }

        if (state.decodeFailures > kMaxDecodeFailures) {
            return Finish(child, kTooManyDecodeErrors, noSpace.Seen("", 0));
        }
        if (stopIndex >= 0 ? (fds[stopIndex].revents & POLLIN) != 0
                           : (settings.stop != nullptr && settings.stop->IsSignalled())) {
            return Finish(child, kStopRequested, noSpace.Seen("", 0));
        }
    }
}

}  // namespace vantrel
