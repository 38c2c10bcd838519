#include "ui/wx/program_icon.h"

#include <wx/bitmap.h>
#include <wx/icon.h>

#include "ui/wx/program_icon_data.h"

namespace vantrel {

const wxIconBundle& ProgramIcons() {
    static const wxIconBundle icons = [] {
        wxIconBundle bundle;
        for (const IconImage& image : kProgramIconImages) {
            wxIcon icon;
            icon.CopyFromBitmap(wxBitmap::NewFromPNGData(image.png, image.length));
            bundle.AddIcon(icon);
        }
        return bundle;
    }();
    return icons;
}

}  // namespace vantrel
