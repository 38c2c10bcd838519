#include "ui/wx/file_settings_store.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

namespace vantrel {
namespace {

wxString FromUtf8(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

}  // namespace

FileSettingsStore::FileSettingsStore() {
    wxStandardPaths& paths = wxStandardPaths::Get();
    paths.SetFileLayout(wxStandardPaths::FileLayout_XDG);
    m_path = wxFileName(paths.GetUserConfigDir() + "/vantrel", "vantrel.conf").GetFullPath();
    // The toolkit reports a line it cannot parse in a message box; a damaged
    // file is no business of the user's.
    wxLogNull quiet;
    m_config = std::make_unique<wxFileConfig>(wxString(), wxString(), m_path, wxString(),
                                              wxCONFIG_USE_LOCAL_FILE);
    m_config->SetExpandEnvVars(false);  // a folder named "$HOME" is just that
}

FileSettingsStore::~FileSettingsStore() = default;

std::optional<std::string> FileSettingsStore::Read(std::string_view key) {
    wxString value;
    if (!m_config->Read(FromUtf8(key), &value)) return std::nullopt;
    return std::string(value.utf8_str());
}

void FileSettingsStore::Write(std::string_view key, std::string_view value) {
    wxLogNull quiet;  // a folder that cannot be written only means nothing is remembered
    wxFileName::Mkdir(wxFileName(m_path).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    m_config->Write(FromUtf8(key), FromUtf8(value));
    m_config->Flush();
}

}  // namespace vantrel
