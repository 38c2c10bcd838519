// TEST SEAM: see test_seam.h.
#include "test_seam.h"

#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "template_controls.h"

namespace vantrel {
namespace {

std::string Escaped(const wxString& text) {
    std::string out;
    for (char c : std::string(text.utf8_str())) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Rect(const wxRect& r) {
    return std::to_string(r.x) + '\t' + std::to_string(r.y) + '\t' + std::to_string(r.width) +
           '\t' + std::to_string(r.height);
}

// One line per control, tab-separated:
//   control WINDOW ID CLASS ENABLED SHOWN CHECKED VALUE X Y W H TEXT
// ID is the template's id (-1 for unaddressed), CHECKED is 1/0 for radio
// buttons and - otherwise, VALUE the progress bar's position or -, and X Y W H
// the control's place on the screen.
void DumpControl(std::ostream& out, int windowIndex, wxWindow* control) {
    std::string checked = "-", value = "-";
    if (auto* radio = dynamic_cast<wxRadioButton*>(control))
        checked = radio->GetValue() ? "1" : "0";
    if (auto* gauge = dynamic_cast<wxGauge*>(control)) value = std::to_string(gauge->GetValue());
    auto* label = dynamic_cast<wxStaticText*>(control);
    const wxString text = label != nullptr ? label->GetLabelText() : control->GetLabel();
    out << "control\t" << windowIndex << '\t' << TemplateIdFor(control->GetId()) << '\t'
        << wxString(control->GetClassInfo()->GetClassName()).utf8_str() << '\t'
        << control->IsEnabled() << '\t' << control->IsShownOnScreen() << '\t' << checked << '\t'
        << value << '\t' << Rect(control->GetScreenRect()) << '\t' << Escaped(text) << '\n';
}

class SeamedConverterWindow;

std::mutex g_targetMutex;
SeamedConverterWindow* g_target = nullptr;  // guarded by g_targetMutex

class SeamedConverterWindow : public ConverterWindow {
public:
    explicit SeamedConverterWindow(EncoderSetup setup) : ConverterWindow(std::move(setup)) {
        std::lock_guard<std::mutex> lock(g_targetMutex);
        g_target = this;
        // A popup menu is no window of the toolkit's; the tests must know
        // when it is there to take keys.
        Bind(wxEVT_MENU_OPEN, [this](wxMenuEvent& event) {
            menuOpen_ = true;
            event.Skip();
        });
        Bind(wxEVT_MENU_CLOSE, [this](wxMenuEvent& event) {
            menuOpen_ = false;
            event.Skip();
        });
    }

    ~SeamedConverterWindow() override {
        std::lock_guard<std::mutex> lock(g_targetMutex);
        g_target = nullptr;
    }

    std::optional<std::string> ChooseSourceFile() override {
        if (!nextChoice_) return ConverterWindow::ChooseSourceFile();
        std::optional<std::string> choice = std::move(nextChoice_);
        nextChoice_.reset();
        return choice;
    }

    void ShowMessage(std::string_view text) override {
        {
            std::lock_guard<std::mutex> lock(messagesMutex_);
            messages_.emplace_back(text);
        }
        ConverterWindow::ShowMessage(text);
    }

    // UI thread.
    void Answer(const std::string& command) {
        if (command.rfind("choose ", 0) == 0) {
            nextChoice_ = command.substr(7);
        } else if (command == "state") {
            DumpState();
        }
    }

protected:
    void ProgressShown(int position) override { progressHistory_.push_back(position); }

private:
    void DumpState() {
        std::ostream& out = std::cout;
        int index = 0;
        for (wxWindow* top : wxTopLevelWindows) {
            if (!top->IsShown()) continue;
            out << "window\t" << index << '\t' << Escaped(top->GetLabel()) << '\t'
                << Rect(top->GetScreenRect()) << '\n';
            for (wxWindow* child : top->GetChildren()) {
                if (!child->IsTopLevel()) DumpControl(out, index, child);
            }
            ++index;
        }
        out << "menu\t" << menuOpen_ << '\n';
        wxWindow* focus = wxWindow::FindFocus();
        out << "focus\t"
            << (focus != nullptr ? std::to_string(TemplateIdFor(focus->GetId())) : "none") << '\n';
        out << "progress-history\t";
        for (size_t i = 0; i < progressHistory_.size(); ++i) {
            out << (i > 0 ? "," : "") << progressHistory_[i];
        }
        out << '\n';
        {
            std::lock_guard<std::mutex> lock(messagesMutex_);
            for (const std::string& m : messages_)
                out << "message\t" << Escaped(wxString::FromUTF8(m)) << '\n';
        }
        out << "end" << std::endl;
    }

    std::optional<std::string> nextChoice_;  // UI thread
    bool menuOpen_ = false;                  // UI thread
    std::vector<int> progressHistory_;       // UI thread
    std::mutex messagesMutex_;
    std::vector<std::string> messages_;
};

// Reads commands for as long as standard input is open and hands each to the
// window's UI thread, in order.
void ReadCommands() {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::lock_guard<std::mutex> lock(g_targetMutex);
        if (g_target == nullptr) return;
        SeamedConverterWindow* target = g_target;
        target->CallAfter([target, line] { target->Answer(line); });
    }
}

}  // namespace

bool TestSeamRequested() {
    const char* value = std::getenv("VANTREL_TEST_SEAM");
    return value != nullptr && std::string(value) == "1";
}

ConverterWindow* CreateWindowWithTestSeam(EncoderSetup setup) {
    auto* window = new SeamedConverterWindow(std::move(setup));
    std::thread(ReadCommands).detach();
    return window;
}

}  // namespace vantrel
