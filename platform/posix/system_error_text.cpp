#include "platform/system_error_text.h"

#include <cstring>

namespace vantrel {

std::string SystemErrorText(int code) {
    char buffer[256];
    // The GNU strerror_r: thread-safe, and it may return a static text instead.
    return ::strerror_r(code, buffer, sizeof buffer);
}

}  // namespace vantrel
