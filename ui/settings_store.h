#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Where the window keeps the choices a user would otherwise make again at each
// start. Values are plain text; the logic checks what it reads, since the
// store may hold anything a damaged or hand-edited file left there.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Nothing when the key is unknown or the store could not be read.
    virtual std::optional<std::string> Read(std::string_view key) = 0;
    // Kept at once, so a program that is killed keeps what was chosen before.
    virtual void Write(std::string_view key, std::string_view value) = 0;
};

}  // namespace vantrel
