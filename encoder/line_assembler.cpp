#include "line_assembler.h"

#include <utility>

namespace vantrel {

std::string LineAssembler::Add(const char* bytes, size_t length) {
    pending_.append(bytes, length);
    const size_t end = pending_.find_last_of("\r\n");
    if (end == std::string::npos && pending_.size() < chunkSize_) return {};
    const size_t take = end == std::string::npos ? pending_.size() : end + 1;
    std::string ready = pending_.substr(0, take);
    pending_.erase(0, take);
    return ready;
}

std::string LineAssembler::Rest() { return std::exchange(pending_, std::string()); }

}  // namespace vantrel
