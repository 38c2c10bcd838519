#include "ui/win32/template_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/translation.h"
#include "ui/control_ids.h"
#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

// A template's text as the user reads it: in the user's language.
std::wstring ShownText(std::string_view templateText) {
    return templateText.empty() ? std::wstring() : ToWide(Tr(std::string(templateText).c_str()));
}

// The desktop's dialog font: Windows maps this name to its current UI face.
constexpr wchar_t kDialogFontFace[] = L"MS Shell Dlg";
constexpr WORD kDialogFontPoints = 8;

// How far a drop-down list opens below its box, in dialog units: a handful of
// choices without a scroll bar.
constexpr int kChoiceListHeight = 100;

void PutWord(std::vector<WORD>& words, unsigned value) { words.push_back(static_cast<WORD>(value)); }

void PutDword(std::vector<WORD>& words, DWORD value) {
    PutWord(words, value & 0xFFFF);
    PutWord(words, value >> 16);
}

void PutText(std::vector<WORD>& words, const std::wstring& text) {
    for (wchar_t c : text) PutWord(words, c);
    PutWord(words, 0);
}

const wchar_t* ClassNameOf(ControlClass controlClass) {
    switch (controlClass) {
        case ControlClass::kButton:
            return WC_BUTTONW;
        case ControlClass::kStatic:
            return WC_STATICW;
        case ControlClass::kProgress:
            return PROGRESS_CLASSW;
        case ControlClass::kList:
            return WC_LISTVIEWW;
        case ControlClass::kChoice:
            return WC_COMBOBOXW;
        case ControlClass::kPicture:
            return WC_STATICW;
        case ControlClass::kEdit:
            return WC_EDITW;
    }
    return WC_STATICW;
}

DWORD StyleOf(const ControlTemplate& c, bool takesDefault) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (c.Has(kStyleTabStop)) style |= WS_TABSTOP;
    if (c.Has(kStyleGroup)) style |= WS_GROUP;
    if (c.Has(kStyleBorder)) style |= WS_BORDER;
    if (c.controlClass == ControlClass::kButton) {
        if (c.Has(kStyleGroupBox)) style |= BS_GROUPBOX;
        if (c.Has(kStyleAutoRadio)) style |= BS_AUTORADIOBUTTON;
        if (takesDefault) style |= BS_DEFPUSHBUTTON;
    }
    if (c.controlClass == ControlClass::kStatic) {
        if (c.Has(kStyleIcon)) style |= SS_ICON | SS_CENTERIMAGE;  // keeps its size
        if (c.Has(kStyleNoPrefix)) style |= SS_NOPREFIX;
        // What the program writes into a label is a name or a figure: an '&'
        // in it is shown, and a name too long ends in "...", unless the label
        // runs on to its next line.
        if (c.id != kIdUnaddressed) style |= SS_NOPREFIX | (c.Has(kStyleWrap) ? 0 : SS_ENDELLIPSIS);
    }
    // Rows in columns under a header; a selection that stays in sight when
    // the user turns to Remove, or to the panel it describes.
    if (c.controlClass == ControlClass::kList) style |= LVS_REPORT | LVS_SHOWSELALWAYS;
    if (c.controlClass == ControlClass::kChoice) style |= CBS_DROPDOWNLIST | WS_VSCROLL;
    if (c.controlClass == ControlClass::kEdit) style |= ES_AUTOHSCROLL;
    // The dialog draws the picture, at whole multiples of its pixels.
    if (c.controlClass == ControlClass::kPicture) style |= SS_OWNERDRAW;
    return style;
}

// In pixels, as MapDialogRect turns the dialog's units across.
int PixelsAcross(HWND dialog, int dialogUnits) {
    RECT span{0, 0, dialogUnits, 0};
    ::MapDialogRect(dialog, &span);
    return span.right;
}

// The columns' widths in pixels. A header is never cut short, whatever the
// desktop's font: a column narrower than its header's text grows, and the
// widest column, whose names end in "..." when they must, gives up the room,
// so that the columns still fill the list as the template has them.
std::vector<int> ColumnWidths(HWND dialog, HWND list, std::span<const ListColumn> columns) {
    // The header keeps a margin of three edges on each side of its text.
    const int margins = 6 * ::GetSystemMetrics(SM_CXEDGE);
    std::vector<int> widths;
    size_t widest = 0;
    int grown = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        const std::wstring header = ShownText(columns[i].header);
        const int needed = static_cast<int>(::SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                           reinterpret_cast<LPARAM>(header.c_str()))) +
                           margins;
        widths.push_back(PixelsAcross(dialog, columns[i].width));
        if (needed > widths[i]) grown += needed - std::exchange(widths[i], needed);
        if (columns[i].width > columns[widest].width) widest = i;
    }
    if (!widths.empty()) widths[widest] = std::max(widths[widest] - grown, widths[widest] / 2);
    return widths;
}

void AddColumns(HWND dialog, HWND list, std::span<const ListColumn> columns) {
    // A click anywhere on a row selects all of it, not its first cell only.
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const std::vector<int> widths = ColumnWidths(dialog, list, columns);
    for (size_t i = 0; i < columns.size(); ++i) {
        std::wstring header = ShownText(columns[i].header);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = header.data();
        column.cx = widths[i];
        column.iSubItem = static_cast<int>(i);
        ::SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

}  // namespace

TemplateDialogMemory::TemplateDialogMemory(const DialogTemplate& dialog, DWORD style,
                                           DWORD extendedStyle) {
    // The extended form: version 1, signature 0xFFFF.
    std::vector<WORD> words;
    PutWord(words, 1);
    PutWord(words, 0xFFFF);
    PutDword(words, 0);  // help id
    PutDword(words, extendedStyle);
    PutDword(words, style | DS_SHELLFONT);
    PutWord(words, 0);  // no controls in the template itself
    PutWord(words, 0);  // x, y: the dialog manager places it
    PutWord(words, 0);
    PutWord(words, static_cast<unsigned>(dialog.width));
    PutWord(words, static_cast<unsigned>(dialog.height));
    PutWord(words, 0);  // no menu
    PutWord(words, 0);  // the dialog class
    PutText(words, ShownText(dialog.caption));
    PutWord(words, kDialogFontPoints);
    PutWord(words, FW_NORMAL);
    PutWord(words, DEFAULT_CHARSET << 8);  // not italic
    PutText(words, kDialogFontFace);
    m_dwords.resize((words.size() + 1) / 2);
    std::memcpy(m_dwords.data(), words.data(), words.size() * sizeof(WORD));
}

void CreateTemplateControls(HWND dialog, const DialogTemplate& dialogTemplate, HICON icon,
                            std::span<const ListColumn> listColumns) {
    const auto font = static_cast<WPARAM>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    int defaultId = 0;
    for (const ControlTemplate& c : dialogTemplate.controls) {
        const bool takesDefault = c.Has(kStyleDefaultButton) && defaultId == 0;
        if (takesDefault) defaultId = c.id;
        // A drop-down list's window holds its list too, which the closed box
        // then opens into; the system sizes the closed box to the font.
        const int height = c.height + (c.controlClass == ControlClass::kChoice ? kChoiceListHeight : 0);
        RECT place{c.x, c.y, c.x + c.width, c.y + height};
        ::MapDialogRect(dialog, &place);
        // A bar shows no text: the template's name for it is its designer's.
        const std::wstring text =
            c.controlClass == ControlClass::kProgress ? L"" : ShownText(c.text);
        HWND control = ::CreateWindowExW(
            0, ClassNameOf(c.controlClass), text.c_str(), StyleOf(c, takesDefault), place.left,
            place.top, place.right - place.left, place.bottom - place.top, dialog,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), ::GetModuleHandleW(nullptr),
            nullptr);
        if (control == nullptr) continue;
        ::SendMessageW(control, WM_SETFONT, font, FALSE);
        if (c.Has(kStyleIcon)) ::SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        if (c.controlClass == ControlClass::kProgress) {
            ::SendMessageW(control, PBM_SETRANGE32, 0, kProgressRange);
        }
        if (c.controlClass == ControlClass::kList) AddColumns(dialog, control, listColumns);
    }
    if (defaultId != 0) ::SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);
}

}  // namespace vantrel
