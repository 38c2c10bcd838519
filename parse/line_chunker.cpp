#include "parse/line_chunker.h"

#include <cstring>

namespace vantrel {

size_t LineChunker::Take(char* out, bool flush) {
    size_t length = 0;
    for (size_t i = 0; i < size_; ++i) {
        if (buffer_[i] == '\n' || buffer_[i] == '\r') {
            length = i + 1;
            break;
        }
    }
    if (length == 0 && (size_ == kMaxChunk || flush)) length = size_;
    if (length == 0) return 0;
    std::memcpy(out, buffer_, length);
    out[length] = '\0';
    std::memmove(buffer_, buffer_ + length, size_ - length);
    size_ -= length;
    return length;
}

}  // namespace vantrel
