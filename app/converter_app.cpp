// Start-up: the converter is one window, and the program ends when it closes.
#include <wx/app.h>
#include <wx/image.h>

#include <csignal>
#include <cstdlib>

#include "converter_window.h"
#include "encoder_location.h"
#include "test_seam.h"

namespace vantrel {

class ConverterApp : public wxApp {
public:
    bool OnInit() override {
        // A write to an encoder that has just died must fail, not end us.
        std::signal(SIGPIPE, SIG_IGN);
        wxInitAllImageHandlers();

        EncoderSetup setup;
        setup.encoderPath = LocateEncoder();
        ConverterWindow* window;
        if (TestSeamRequested()) {
            // The tests talk to the program on its standard input, which must
            // then not be forwarded to the encoder.
            setup.consoleInputFd = -1;
            window = CreateWindowWithTestSeam(std::move(setup));
        } else {
            window = new ConverterWindow(std::move(setup));
        }
        SetTopWindow(window);
        window->Show();
        return true;
    }
};

}  // namespace vantrel

wxIMPLEMENT_APP(vantrel::ConverterApp);
