#pragma once

#include <string>

#include "ui/settings_store.h"

namespace vantrel {

// The settings as text values of a key of the current user's registry,
// Software\vantrel unless told another. A key or value that is missing,
// unreadable or not text reads as nothing: the window then starts with its
// defaults.
class RegistrySettingsStore : public SettingsStore {
public:
    explicit RegistrySettingsStore(std::wstring keyPath = L"Software\\vantrel");

    std::optional<std::string> Read(std::string_view key) override;
    // A key that cannot be written only means nothing is remembered.
    void Write(std::string_view key, std::string_view value) override;

private:
    std::wstring m_keyPath;
};

}  // namespace vantrel
