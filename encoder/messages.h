#pragma once

namespace vantrel {

inline constexpr char kFailedToExecuteMessage[] =
    "Failed to execute video conversion component!! Please re-install.";

}  // namespace vantrel
