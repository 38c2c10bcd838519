#pragma once

#include <memory>
#include <string>

#include "platform/expected.h"

namespace vantrel {

// What the computer may be asked to do once a long list is done.
enum class PowerAction { kSleep, kShutDown };

// Whether the system lets this user ask for an action now; when it does not,
// why, in words fit for a tooltip.
struct PowerPermission {
    bool allowed = false;
    std::string reason;
};

// Asks the system to sleep or to shut down, as the user could from the
// desktop: the system may still ask for a password or refuse.
//
// Threads: called on one thread at a time, the UI thread in the window. Each
// call may wait briefly for the system's answer.
class SystemPower {
public:
    virtual ~SystemPower() = default;

    virtual PowerPermission Permission(PowerAction action) = 0;
    // Asked, not done: sleep and shut down happen after this returns.
    virtual Expected<void> Request(PowerAction action) = 0;
};

// The system's own: logind over the system bus on Linux, the power
// management functions on Windows.
std::unique_ptr<SystemPower> MakeSystemPower();

}  // namespace vantrel
