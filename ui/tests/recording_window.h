// A window that records what the converter's logic asks of it, for tests
// without a display.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "dialog_window.h"

namespace vantrel::testing {

class RecordingWindow : public DialogWindow {
public:
    // The controls start as the main window's template creates them.
    RecordingWindow();

    void SetControlText(int id, std::string_view text) override;
    void EnableControl(int id, bool enabled) override;
    void CheckControl(int id, bool checked) override;
    void PostProgress(int32_t position) override;
    void ShowMessage(std::string_view text) override;
    std::optional<std::string> ChooseSourceFile() override;
    void SetBusy(bool busy) override;

    // What the next ChooseSourceFile returns; nothing = the user cancelled.
    void AnswerNextChoice(std::optional<std::string> path);

    // Waits until `condition` holds; false if it has not within a generous
    // bound (a hang, not a matter of timing).
    bool WaitUntil(const std::function<bool()>& condition);

    std::string Text(int id);
    bool Enabled(int id);
    bool Checked(int id);
    std::vector<int32_t> Posts();
    std::vector<std::string> Messages();
    // Every call in order, as "text 1002 STOP", "enable 1001 0", "message ...".
    std::vector<std::string> Events();
    int ChooserCalls();
    bool Busy();

    // From now on any call is a fault: the window is gone.
    void Seal();
    int CallsAfterSeal();

private:
    struct Control {
        std::string text;
        bool enabled = true;
        bool checked = false;
    };

    void Record(std::string event);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Control> controls_;
    std::vector<int32_t> posts_;
    std::vector<std::string> messages_;
    std::vector<std::string> events_;
    std::deque<std::optional<std::string>> answers_;
    int chooserCalls_ = 0;
    bool busy_ = false;
    bool sealed_ = false;
    int callsAfterSeal_ = 0;
    uint64_t version_ = 0;
};

}  // namespace vantrel::testing
