#include "conversion/simultaneous_conversions.h"

#include <algorithm>
#include <thread>

namespace vantrel {

int DefaultSimultaneousConversions() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency() / 2));
}

}  // namespace vantrel
