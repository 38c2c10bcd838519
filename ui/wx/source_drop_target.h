#pragma once

#include <wx/dnd.h>

#include <functional>
#include <string>
#include <vector>

namespace vantrel {

// Files dropped on the window, handed on as UTF-8 paths in the order given.
class SourceDropTarget : public wxFileDropTarget {
public:
    using Handler = std::function<void(std::vector<std::string>)>;
    explicit SourceDropTarget(Handler handler) : handler_(std::move(handler)) {}

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& files) override;

private:
    Handler handler_;
};

}  // namespace vantrel
