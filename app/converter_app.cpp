#include "app/converter_app.h"

#include <wx/image.h>
#include <wx/toplevel.h>

#include <pthread.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "conversion/encoder_location.h"
#include "ui/wx/window_translations.h"

namespace vantrel {
namespace {

// `vantrel FILE|FOLDER...`, as a file manager starts it: the names' bytes as
// given, taken before the toolkit turns the command line into text of its locale.
std::vector<std::string> g_startSources;

sigset_t CloseSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, s);
    return signals;
}

}  // namespace

bool ConverterApp::OnInit() {
    // A write to an encoder that has just died must fail, not end us.
    std::signal(SIGPIPE, SIG_IGN);
    wxInitAllImageHandlers();
    UseWindowTranslations();

    EncoderSetup setup;
    setup.encoderPath = LocateEncoder();
    setup.consoleInputFd = 0;  // a window started from a terminal passes its keys on
    ConverterWindow* window = CreateConverterWindow(std::move(setup), &settings_);
    SetTopWindow(window);
    window->Show();
    if (!g_startSources.empty()) window->AddAtStart(g_startSources);
    closeSignalWaiter_ = std::thread([this] { WaitForCloseSignals(); });
    return true;
}

int ConverterApp::OnExit() {
    if (closeSignalWaiter_.joinable()) {
        exiting_ = true;
        pthread_kill(closeSignalWaiter_.native_handle(), SIGHUP);
        closeSignalWaiter_.join();
    }
    return wxApp::OnExit();
}

ConverterWindow* ConverterApp::CreateConverterWindow(EncoderSetup setup, SettingsStore* settings) {
    return new ConverterWindow(std::move(setup), settings);
}

// A signal handler could do next to nothing safely; every thread blocks these
// signals instead, and this one takes them in turn.
void ConverterApp::WaitForCloseSignals() {
    const sigset_t signals = CloseSignals();
    int signal = 0;
    while (sigwait(&signals, &signal) == 0 && !exiting_) {
        CallAfter([this] {
            wxWindow* window = GetTopWindow();
            if (window != nullptr && !IsScheduledForDestruction(window)) window->Close();
        });
    }
}

int RunConverterApp(int argc, char** argv) {
    // Before the toolkit starts a thread of its own, so that every thread,
    // and the encoder until it resets its mask, inherits the block.
    const sigset_t signals = CloseSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        const std::filesystem::path source = std::filesystem::absolute(argv[i], error);
        g_startSources.push_back(error ? argv[i] : source.string());
    }
    return wxEntry(argc, argv);
}

}  // namespace vantrel
