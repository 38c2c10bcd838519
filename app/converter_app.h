// Start-up shared by the program and the build its window tests drive: the
// converter is one window, and the program ends when it closes.
#pragma once

#include <wx/app.h>

#include <atomic>
#include <thread>

#include "ui/wx/converter_window.h"
#include "ui/wx/file_settings_store.h"

namespace vantrel {

class ConverterApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;

protected:
    virtual ConverterWindow* CreateConverterWindow(EncoderSetup setup, SettingsStore* settings);

private:
    void WaitForCloseSignals();

    FileSettingsStore settings_;
    std::thread closeSignalWaiter_;
    std::atomic<bool> exiting_ = false;
};

// Runs the application wxIMPLEMENT_APP_NO_MAIN names; a first argument names
// a movie to open as OPEN would. SIGINT, SIGTERM and
// SIGHUP close the window as its close box does, so that a conversion is
// stopped and its partial file removed, and the program exits with 0.
int RunConverterApp(int argc, char** argv);

}  // namespace vantrel
