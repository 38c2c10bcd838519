#pragma once

#include <cstddef>

namespace vantrel {

// Cuts the encoder's output into texts of at most 511 bytes that end at a line
// end (CR or LF) wherever a line fits. ffmpeg's descriptions are one line per
// fact, and the parser reads each text on its own: a line cut in two by the
// pipe's timing would lose the duration or the stream details at random.
class LineChunker {
public:
    static constexpr size_t kMaxChunk = 511;

    // Where the next read goes and how much it may bring (always at least 1).
    char* tail() { return buffer_ + size_; }
    size_t space() const { return kMaxChunk - size_; }
    void Commit(size_t bytes) { size_ += bytes; }

    // Moves the next text into `out` (kMaxChunk + 1 bytes), NUL-terminated, and
    // returns its length; 0 when none is ready. Text after the last line end
    // waits for more output, unless the buffer is full or `flush` is set.
    size_t Take(char* out, bool flush);

private:
    char buffer_[kMaxChunk];
    size_t size_ = 0;
};

}  // namespace vantrel
