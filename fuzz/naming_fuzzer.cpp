// The naming rule on arbitrary paths: it either derives a .d3v name in the
// same folder or leaves the target alone.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "source_types.h"
#include "target_naming.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string source(reinterpret_cast<const char*>(data), size);
    std::string target = "untouched";
    const int result = DeriveTargetPath(target, source, kTargetExtension);
    const size_t slash = source.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : source.substr(0, slash + 1);
    switch (result) {
        case kTargetDerived:
            if (target.size() < 3 || target.compare(target.size() - 3, 3, "d3v") != 0) std::abort();
            if (target.compare(0, folder.size(), folder) != 0) std::abort();  // folder kept as is
            if (target.size() > source.size()) std::abort();
            break;
        case kAlreadyTarget:
        case kNoUsableExtension:
        case kUnknownExtension:
            if (target != "untouched") std::abort();
            break;
        default:
            std::abort();
    }
    return 0;
}
