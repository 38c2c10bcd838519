#pragma once

#include <wx/fileconf.h>

#include <memory>

#include "ui/settings_store.h"

namespace vantrel {

// The settings in the user's XDG config folder ($XDG_CONFIG_HOME, or
// ~/.config), in vantrel/vantrel.conf: one "key=value" a line. A file that is
// missing, unreadable or damaged reads as empty, with no message: the window
// then starts with its defaults.
class FileSettingsStore : public SettingsStore {
public:
    FileSettingsStore();
    ~FileSettingsStore() override;

    std::optional<std::string> Read(std::string_view key) override;
    void Write(std::string_view key, std::string_view value) override;

private:
    wxString m_path;
    std::unique_ptr<wxFileConfig> m_config;
};

}  // namespace vantrel
