#pragma once

#include <cstddef>
#include <string>

namespace vantrel {

// The most the output pump hands the parser at once.
inline constexpr size_t kEncoderChunkSize = 511;

// Turns the encoder's output, as reads deliver it, into chunks of whole lines.
// ffmpeg 5 writes a line in pieces ("  Duration: ", "00:01:05.20", ", start: "
// ...), each its own write, and the parser looks at one chunk at a time, so a
// reader quicker than the encoder would see a marker apart from its value.
// A chunk is the text up to the last line end ('\n' or '\r') received, or,
// when a whole chunk's worth holds none, all of it: a line longer than that is
// cut, as it always was.
class LineAssembler {
public:
    explicit LineAssembler(size_t chunkSize) : chunkSize_(chunkSize) {}

    // How much the next read may add without the chunk outgrowing its size;
    // never 0.
    size_t Room() const { return chunkSize_ - pending_.size(); }

    // The chunk to parse now; empty while a line is still incomplete.
    std::string Add(const char* bytes, size_t length);

    // What is left once the output has ended.
    std::string Rest();

private:
    size_t chunkSize_;
    std::string pending_;
};

}  // namespace vantrel
