// The window's list converted by its own logic, with no display: the files
// named, so many at once, Encode, and the wall time until the list is done.
//
//   window_list_bench AT_ONCE FILE...    prints "wall_s=S converted=N"
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "conversion/encoder_location.h"
#include "ui/converter_dialog.h"

namespace {

// A window that shows nothing: what the workers hand to the UI thread runs
// on the main thread, which waits for it.
class HeadlessWindow : public vantrel::DialogWindow {
public:
    void SetControlText(int, std::string_view) override {}
    void EnableControl(int, bool) override {}
    void CheckControl(int, bool) override {}
    void PostProgress(int32_t) override {}
    void ShowMessage(std::string_view text) override { std::fprintf(stderr, "%.*s\n", int(text.size()), text.data()); }
    void RunOnUiThread(std::function<void()> action) override {
        std::lock_guard lock(mutex_);
        queued_.push_back(std::move(action));
        due_.notify_one();
    }
    void SetListRow(vantrel::ListRowKey, const vantrel::ListRowTexts&) override {}
    void RemoveListRow(vantrel::ListRowKey) override {}
    void SelectListRow(vantrel::ListRowKey) override {}
    void SetChoices(int, const std::vector<std::string>&, int) override {}
    void SetPreview(const vantrel::PreviewPicture&) override {}
    std::vector<std::string> ChooseSourceFiles(const std::string&) override { return {}; }
    std::optional<std::string> ChooseFolder(const std::string&) override { return {}; }
    std::vector<vantrel::ListRowKey> SelectedListRows() override { return {}; }
    void NotifyConversionEnded(std::string_view) override {}
    void SetBusy(bool) override {}

    // Runs what is handed over until `done` holds.
    void RunUntil(const std::function<bool()>& done) {
        while (!done()) {
            std::unique_lock lock(mutex_);
            due_.wait(lock, [&] { return !queued_.empty(); });
            std::function<void()> action = std::move(queued_.front());
            queued_.pop_front();
            lock.unlock();
            action();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable due_;
    std::deque<std::function<void()>> queued_;
};

struct Settings : vantrel::SettingsStore {
    std::map<std::string, std::string, std::less<>> values;
    std::optional<std::string> Read(std::string_view key) override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void Write(std::string_view key, std::string_view value) override { values[std::string(key)] = value; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_list_bench AT_ONCE FILE...\n");
        return 2;
    }
    Settings settings;
    settings.values["simultaneous-conversions"] = argv[1];
    vantrel::EncoderSetup setup;
    setup.encoderPath = vantrel::LocateEncoder();
    HeadlessWindow window;
    vantrel::ConverterDialog dialog(window, setup, &settings);
    dialog.OnInitDialog();
    const auto start = std::chrono::steady_clock::now();
    dialog.OnAddPaths(std::vector<std::string>(argv + 2, argv + argc));
    const auto rows = [&] { return dialog.rows(); };
    window.RunUntil([&] {
        for (const vantrel::SourceRow& row : rows()) {
            if (!row.probed && row.Runnable()) return false;
        }
        return true;
    });
    dialog.OnEncode();
    window.RunUntil([&] { return !dialog.converting(); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    size_t converted = 0;
    for (const vantrel::SourceRow& row : dialog.rows()) converted += row.state == vantrel::RowState::kConverted;
    std::printf("wall_s=%.4f converted=%zu\n", seconds, converted);
    return converted == dialog.rows().size() ? 0 : 1;
}
