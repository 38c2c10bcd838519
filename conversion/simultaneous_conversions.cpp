#include "conversion/simultaneous_conversions.h"

#include <algorithm>
#include <thread>

namespace vantrel {

int DefaultSimultaneousConversions() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency() / 2));
}

int ThreadsPerConversion(int simultaneous) {
    if (simultaneous <= 1) return 0;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()) / simultaneous);
}

}  // namespace vantrel
