#include "platform/console_input_forwarder.h"

namespace vantrel {

// The Windows front ends have no console input to hand on: see the header.
bool ConsoleInputForwarder::Start(int /*sourceFd*/, ChildProcess& /*encoder*/) { return false; }

void ConsoleInputForwarder::Stop() {
    active_ = false;
    if (thread_.joinable()) thread_.join();
}

}  // namespace vantrel
