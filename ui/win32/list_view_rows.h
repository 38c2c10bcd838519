#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/dialog_window.h"

namespace vantrel {

// The list of files as a report-view list view. Each row carries its logic's
// key as its item data, so that a row is always found by its key: places
// shift as rows come and go, and an update queued a moment earlier must still
// reach the row it was meant for.

// The row's place in the list, or -1 when no row has the key.
int ListViewRowOf(HWND list, ListRowKey key);

// The row with `key` shows `texts`, one per column; a new key adds a row at
// the end.
void SetListViewRow(HWND list, ListRowKey key, const ListRowTexts& texts);

// Takes the row off; a key not in the list is passed over.
void RemoveListViewRow(HWND list, ListRowKey key);

// The row becomes the only one selected and the one with the keyboard's focus
// (where Shift+click extends from), scrolled into view.
void SelectOnlyListViewRow(HWND list, ListRowKey key);

// The keys of the selected rows, in the list's order.
std::vector<ListRowKey> SelectedListViewRows(HWND list);

// What the row shows in `column`, and whether it is selected: the list as a
// user sees it.
std::string ListViewCellText(HWND list, int row, int column);
bool IsListViewRowSelected(HWND list, int row);

}  // namespace vantrel
