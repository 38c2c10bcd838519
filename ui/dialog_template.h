#pragma once

#include <span>
#include <string_view>

namespace vantrel {

// A window described as data, in dialog units (a quarter of the average
// character width across, an eighth of the character height down), so that it
// keeps its proportions with whatever font the desktop uses.
enum class ControlClass {
    kButton,    // push button, radio button or group frame, by its style
    kStatic,    // text label, or the program's icon with kStyleIcon
    kProgress,  // progress bar
    kList,      // a list of rows in columns, with a header; several rows may be selected
    kChoice,    // a drop-down list of choices; its height is the closed box's
    // A picture the program draws pixel for pixel: the room it may take. It
    // is shown at the largest whole multiple of its size that fits there, in
    // the middle, and never scaled otherwise.
    kPicture,
    kEdit,  // a line of text the user types
};

enum ControlStyle : unsigned {
    kStylePushButton = 1u << 0,
    kStyleDefaultButton = 1u << 1,  // the button Enter presses
    kStyleGroupBox = 1u << 2,
    kStyleAutoRadio = 1u << 3,
    kStyleLeft = 1u << 4,
    kStyleNoPrefix = 1u << 5,  // '&' is shown, not read as a mnemonic
    kStyleIcon = 1u << 6,
    kStyleBorder = 1u << 7,
    kStyleTabStop = 1u << 8,
    kStyleGroup = 1u << 9,  // starts a group; for radio buttons, the exclusive set
    kStyleWrap = 1u << 10,  // a text that runs on to the next line rather than being cut
};

struct ControlTemplate {
    int id;
    ControlClass controlClass;
    std::string_view text;
    int x;
    int y;
    int width;
    int height;
    unsigned styles;

    bool Has(unsigned style) const { return (styles & style) != 0; }
};

// A column of a kList control: its header and its width in dialog units.
struct ListColumn {
    std::string_view header;
    int width;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int width;  // of the client area
    int height;
    std::span<const ControlTemplate> controls;  // creation order = tab order
};

}  // namespace vantrel
