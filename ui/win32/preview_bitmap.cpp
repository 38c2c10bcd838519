#include "ui/win32/preview_bitmap.h"

namespace vantrel {

PreviewBitmap::PreviewBitmap(int width, int height)
    : m_width(width), m_height(height), m_stride((width * 3 + 3) / 4 * 4) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as the frame comes
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<uint8_t*>(bits);
}

PreviewBitmap::~PreviewBitmap() {
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
}

void PreviewBitmap::Show(const PreviewPicture& picture) {
    m_shown = m_bits != nullptr && !picture.empty() && picture.width == m_width &&
              picture.height == m_height;
    if (!m_shown) return;
    ::GdiFlush();  // GDI may still be reading the last frame
    for (int y = 0; y < m_height; ++y) {
        const uint8_t* from = picture.rgb.data() + static_cast<size_t>(y) * m_width * 3;
        uint8_t* to = m_bits + static_cast<size_t>(y) * m_stride;
        for (int x = 0; x < m_width; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
}

RECT PreviewBitmap::PlaceIn(const RECT& client) const {
    const int roomWidth = client.right - client.left, roomHeight = client.bottom - client.top;
    const int times = WholeScale(m_width, m_height, roomWidth, roomHeight);
    const int left = client.left + (roomWidth - m_width * times) / 2;
    const int top = client.top + (roomHeight - m_height * times) / 2;
    return {left, top, left + m_width * times, top + m_height * times};
}

void PreviewBitmap::Draw(const DRAWITEMSTRUCT& item) const {
    const RECT place = PlaceIn(item.rcItem);
    // The room around the frame is the dialog's own.
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    if (!m_shown) {
        ::FillRect(item.hDC, &place, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        return;
    }
    HDC source = ::CreateCompatibleDC(item.hDC);
    const HGDIOBJ before = ::SelectObject(source, m_bitmap);
    // Whole multiples only, and each pixel copied, never blended.
    ::SetStretchBltMode(item.hDC, COLORONCOLOR);
    ::StretchBlt(item.hDC, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 source, 0, 0, m_width, m_height, SRCCOPY);
    ::SelectObject(source, before);
    ::DeleteDC(source);
}

}  // namespace vantrel
