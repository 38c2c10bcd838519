#pragma once

#include <cstddef>

namespace vantrel {

// Cuts the encoder's output into single lines for the parser. A line ends at
// CR or LF (ffmpeg ends each progress line with a lone CR); a line longer than
// kMaxChunk bytes comes in pieces of kMaxChunk bytes. The parser then sees the
// same texts however the pipe's reads fall, so a count or a progress step can
// no longer depend on the timing of the encoder's writes.
class LineChunker {
public:
    static constexpr size_t kMaxChunk = 511;

    // Where the next read goes and how much it may bring (always at least 1
    // once Take has returned 0).
    char* tail() { return buffer_ + size_; }
    size_t space() const { return kMaxChunk - size_; }
    void Commit(size_t bytes) { size_ += bytes; }

    // Moves the next line, with its line end, into `out` (kMaxChunk + 1 bytes),
    // NUL-terminated, and returns its length; 0 when none is ready. Call it
    // until it returns 0. A line without its end waits for more output, unless
    // it fills the buffer or `flush` is set.
    size_t Take(char* out, bool flush);

private:
    char buffer_[kMaxChunk];
    size_t size_ = 0;
};

}  // namespace vantrel
