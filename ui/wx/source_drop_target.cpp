#include "ui/wx/source_drop_target.h"

namespace vantrel {

bool SourceDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) {
    std::vector<std::string> paths;
    for (const wxString& file : files) paths.emplace_back(file.utf8_str());
    handler_(std::move(paths));
    return true;
}

}  // namespace vantrel
