#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/preview_picture.h"

namespace vantrel {

// What the converter's logic asks of its window. The toolkit's view implements
// it for real; the tests record the calls.
//
// Threads. The first group may be called from any thread: the UI thread (the
// handlers) and the worker (the reports of a probe or a conversion; a run's
// end comes back to the UI thread through RunOnUiThread). They never wait for
// the UI thread: the view queues each
// call to the UI thread and applies the calls in the order they were made,
// whichever thread made them, so the window always ends in the state of the
// last call. The second group is called on the UI thread only and may block it.
// One row of the list of files, as shown: the file's name, the name it is
// saved as, its duration, its size (to expect, or made) and its state, in the
// columns' order.
using ListRowTexts = std::array<std::string, 5>;

// A row of the list is known by a key of its own, never by its place, so that
// a view a moment behind the logic can never make one row taken for another.
using ListRowKey = uint64_t;

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // --- Any thread; queued, applied in call order.
    virtual void SetControlText(int id, std::string_view text) = 0;
    virtual void EnableControl(int id, bool enabled) = 0;
    virtual void CheckControl(int id, bool checked) = 0;
    // Thousandths of a percent; shown clamped to 0..100000.
    virtual void PostProgress(int32_t position) = 0;
    // A modal message box owned by the main window, with OK only. The caller
    // does not wait for the user to dismiss it.
    virtual void ShowMessage(std::string_view text) = 0;
    // Runs `action` on the UI thread, after the calls queued before it; never
    // once the window has closed.
    virtual void RunOnUiThread(std::function<void()> action) = 0;
    // The row with `key` shows `texts`; a key not yet in the list adds a row
    // at its end.
    virtual void SetListRow(ListRowKey key, const ListRowTexts& texts) = 0;
    // Takes the row off; a key not in the list is passed over.
    virtual void RemoveListRow(ListRowKey key) = 0;
    // Makes the row the only one selected, and scrolls it into view.
    virtual void SelectListRow(ListRowKey key) = 0;
    // The drop-down list `id` offers `choices`, with the one at `selected` shown.
    virtual void SetChoices(int id, const std::vector<std::string>& choices, int selected) = 0;
    // The preview shows `picture`, pixel for pixel; an empty one leaves it blank.
    virtual void SetPreview(const PreviewPicture& picture) = 0;
    // The text shown when the pointer rests on control `id`, enabled or
    // not; empty for none.
    virtual void SetControlTooltip(int id, std::string_view text) = 0;

    // --- UI thread only.
    // The open-file dialog, in `folder` unless that is empty: the chosen
    // paths, none when cancelled.
    virtual std::vector<std::string> ChooseSourceFiles(const std::string& folder) = 0;
    // The folder chooser, in `folder` unless that is empty: the chosen
    // folder, or nothing when cancelled.
    virtual std::optional<std::string> ChooseFolder(const std::string& folder) = 0;
    // The keys of the rows the user has selected, in the list's order.
    virtual std::vector<ListRowKey> SelectedListRows() = 0;
    // The list has been converted: told on the desktop too when the window is
    // not the active one, for a user who has turned to other work meanwhile.
    virtual void NotifyConversionEnded(std::string_view text) = 0;
    // The busy cursor, while probes run.
    virtual void SetBusy(bool busy) = 0;
    // Runs `action` on the UI thread once `delay` has passed, never once the
    // window has closed.
    virtual void RunOnUiThreadAfter(std::chrono::milliseconds delay, std::function<void()> action) = 0;
    // Closes the window, as Exit does, once the handler running now returns.
    virtual void Quit() = 0;
};

}  // namespace vantrel
