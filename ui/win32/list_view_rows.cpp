#include "ui/win32/list_view_rows.h"

#include <commctrl.h>

#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

ListRowKey KeyOfRow(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<ListRowKey>(item.lParam);
}

void SetCellText(HWND list, int row, int column, const std::string& text) {
    std::wstring wide = ToWide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

int ListViewRowOf(HWND list, ListRowKey key) {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(key);
    return static_cast<int>(::SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(&find)));
}

void SetListViewRow(HWND list, ListRowKey key, const ListRowTexts& texts) {
    int row = ListViewRowOf(list, key);
    if (row < 0) {
        std::wstring name = ToWide(texts[0]);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = name.data();
        item.lParam = static_cast<LPARAM>(key);
        row = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) return;
    }
    for (size_t column = 0; column < texts.size(); ++column) {
        SetCellText(list, row, static_cast<int>(column), texts[column]);
    }
}

void RemoveListViewRow(HWND list, ListRowKey key) {
    if (const int row = ListViewRowOf(list, key); row >= 0) {
        ::SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    }
}

void SelectOnlyListViewRow(HWND list, ListRowKey key) {
    const int row = ListViewRowOf(list, key);
    if (row < 0) return;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    // -1: every row.
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

std::vector<ListRowKey> SelectedListViewRows(HWND list) {
    std::vector<ListRowKey> keys;
    for (int row = -1; (row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM,
                                                               static_cast<WPARAM>(row),
                                                               LVNI_SELECTED))) >= 0;) {
        keys.push_back(KeyOfRow(list, row));
    }
    return keys;
}

std::string ListViewCellText(HWND list, int row, int column) {
    // The list says how much it copied, not how long the text is: a buffer
    // it filled to the brim may have cut the text short. A path is at most
    // the longest Windows takes.
    constexpr size_t kLongest = 32768;
    for (size_t room = 256;; room *= 2) {
        std::wstring text(room, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(room);
        const auto copied = static_cast<size_t>(
            ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (copied + 1 < room || room > kLongest) {
            text.resize(copied);
            return ToUtf8(text);
        }
    }
}

bool IsListViewRowSelected(HWND list, int row) {
    return ::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
}

}  // namespace vantrel
