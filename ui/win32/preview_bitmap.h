#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/preview_picture.h"

namespace vantrel {

// The preview's frame as a DIB section, and its drawing into an owner-drawn
// static control: the frame at the largest whole multiple of its pixels that
// the control holds, each pixel a square of the screen's, in the middle of
// the control; black while blank.
class PreviewBitmap {
public:
    PreviewBitmap(int width, int height);
    ~PreviewBitmap();
    PreviewBitmap(const PreviewBitmap&) = delete;
    PreviewBitmap& operator=(const PreviewBitmap&) = delete;

    // The frame shown from now on; an empty or odd-sized one blanks it.
    void Show(const PreviewPicture& picture);
    // WM_DRAWITEM of the control.
    void Draw(const DRAWITEMSTRUCT& item) const;

    bool shown() const { return m_shown; }
    // Where the frame is drawn in a control of `client` size.
    RECT PlaceIn(const RECT& client) const;

private:
    const int m_width, m_height;
    HBITMAP m_bitmap = nullptr;
    uint8_t* m_bits = nullptr;  // BGR rows, top first, each a whole number of DWORDs
    int m_stride = 0;
    bool m_shown = false;
};

}  // namespace vantrel
