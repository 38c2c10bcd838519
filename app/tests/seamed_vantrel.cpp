// The converter program with a seam for its window tests, which see the real
// window's state through it and stand in for the file chooser. It reads
// commands on its standard input, one a line, applies each on the UI thread
// and only then answers on its standard output, so that a click the driver
// sends next cannot overtake the command. Every answer ends with "end".
//   state        "window\tTITLE" for each top-level window, the main one
//                first, each followed by its controls:
//                "control ID ENABLED CHECKED X Y W H\tTEXT"
//                (ID the template's, CHECKED a radio button's, X Y W H on the
//                screen, TEXT a drop-down list's chosen entry), a drop-down
//                list's followed by "choices\tENTRY\tENTRY...", and a
//                control with a tooltip by "tooltip\tTEXT", and one that
//                shows a text of the program's by "needs W", the width the
//                toolkit wants for it whole; the list's columns follow,
//                "column W NEEDED\tHEADER"; the main
//                window's list follows, a row a line:
//                "row SELECTED\tNAME\tSAVED AS\tDURATION\tSIZE\tSTATE"; then "menu OPENED", whether a popup menu has
//                opened, and "progress P..." with every position the bar
//                has taken; then "preview SHOWN W H R G B R G B": whether it
//                shows a frame, its picture's size in physical pixels, and
//                the colours of its pixels at the middle and at the middle
//                of its top sixteenth
//   choose PATH  the next OPEN takes PATH instead of showing the chooser
#include <wx/choice.h>
#include <wx/evtloop.h>
#include <wx/evtloopsrc.h>
#include <wx/gauge.h>
#include <wx/dataview.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include <iostream>
#include <utility>
#include <vector>

#include "app/converter_app.h"
#include "ui/control_ids.h"
#include "ui/wx/template_controls.h"

namespace vantrel {
namespace {

class SeamedWindow : public ConverterWindow, private wxEventLoopSourceHandler {
public:
    SeamedWindow(EncoderSetup setup, SettingsStore* settings)
        : ConverterWindow(std::move(setup), settings) {
        // A popup menu is no window of the toolkit's; the tests must know
        // when it is there to take keys.
        Bind(wxEVT_MENU_OPEN, [this](wxMenuEvent& event) {
            menuOpened_ = true;
            event.Skip();
        });
    }
    ~SeamedWindow() override { delete commands_; }

    std::vector<std::string> ChooseSourceFiles(const std::string& folder) override {
        std::optional<std::string> choice = std::exchange(nextChoice_, std::nullopt);
        return choice ? std::vector<std::string>{*choice} : ConverterWindow::ChooseSourceFiles(folder);
    }

protected:
    void ProgressShown(int position) override { progress_.push_back(position); }

private:
    // Called on the UI thread, in every event loop, modal ones too.
    void OnReadWaiting() override {
        std::string command;
        if (!std::getline(std::cin, command)) {
            delete std::exchange(commands_, nullptr);  // the driver has gone
            return;
        }
        // After the updates already queued, so that the state shows them.
        CallAfter([this, command] {
            if (command.rfind("choose ", 0) == 0) nextChoice_ = command.substr(7);
            if (command == "state") DumpState();
            std::cout << "end" << std::endl;
        });
    }
    void OnWriteWaiting() override {}
    void OnExceptionWaiting() override {}

    void DumpState() {
        for (wxWindow* top : wxTopLevelWindows) {
            std::cout << "window\t" << top->GetLabel().utf8_str() << '\n';
            wxDataViewListCtrl* list = nullptr;
            for (wxWindow* w : top->GetChildren()) {
                const auto* radio = dynamic_cast<wxRadioButton*>(w);
                const auto* choice = dynamic_cast<wxChoice*>(w);
                const auto* field = dynamic_cast<wxTextCtrl*>(w);
                list = list != nullptr ? list : dynamic_cast<wxDataViewListCtrl*>(w);
                const wxRect r = w->GetScreenRect();
                if (w->IsTopLevel()) continue;
                std::cout << "control " << TemplateIdFor(w->GetId()) << ' ' << w->IsEnabled() << ' '
                          << (radio != nullptr && radio->GetValue()) << ' ' << r.x << ' ' << r.y
                          << ' ' << r.width << ' ' << r.height << '\t'
                          << (choice != nullptr ? choice->GetStringSelection()
                              : field != nullptr ? field->GetValue()
                                                 : wxControl::RemoveMnemonics(w->GetLabel()))
                                 .utf8_str()
                          << '\n';
                // The width the control needs to show its text whole, as the
                // toolkit sizes it; a field, a bar or a picture shows no text
                // of the program's.
                if (field == nullptr && dynamic_cast<wxStaticBitmap*>(w) == nullptr &&
                    dynamic_cast<wxGauge*>(w) == nullptr && dynamic_cast<wxDataViewCtrl*>(w) == nullptr)
                    std::cout << "needs " << w->GetBestSize().GetWidth() << '\n';
                if (!w->GetToolTipText().empty()) std::cout << "tooltip\t" << w->GetToolTipText().utf8_str() << '\n';
                if (choice != nullptr) {
                    std::cout << "choices";
                    for (unsigned i = 0; i < choice->GetCount(); ++i) {
                        std::cout << '\t' << choice->GetString(i).utf8_str();
                    }
                    std::cout << '\n';
                }
            }
            // Each column's width, and the width its header needs: its text
            // and the room the header leaves either side of it.
            for (unsigned column = 0; list != nullptr && column < list->GetColumnCount(); ++column) {
                const wxDataViewColumn* header = list->GetColumn(column);
                std::cout << "column " << header->GetWidth() << ' '
                          << list->GetTextExtent(header->GetTitle()).GetWidth() + 2 * list->GetCharWidth() << '\t'
                          << header->GetTitle().utf8_str() << '\n';
            }
            for (int row = 0; list != nullptr && row < list->GetItemCount(); ++row) {
                std::cout << "row " << list->IsRowSelected(row);
                for (unsigned column = 0; column < list->GetColumnCount(); ++column) {
                    std::cout << '\t' << list->GetTextValue(row, column).utf8_str();
                }
                std::cout << '\n';
            }
        }
        std::cout << "menu " << menuOpened_ << "\nprogress";
        for (int position : progress_) std::cout << ' ' << position;
        std::cout << "\npreview " << previewShown();
        if (const auto* preview = dynamic_cast<wxStaticBitmap*>(FindWindow(kIdPreview))) {
            const wxImage image = preview->GetBitmap().ConvertToImage();
            std::cout << ' ' << image.GetWidth() << ' ' << image.GetHeight();
            for (const int y : {image.GetHeight() / 2, image.GetHeight() / 32}) {
                const int x = image.GetWidth() / 2;
                std::cout << ' ' << int{image.GetRed(x, y)} << ' ' << int{image.GetGreen(x, y)} << ' '
                          << int{image.GetBlue(x, y)};
            }
        }
        std::cout << '\n';
    }

    wxEventLoopSource* commands_ =
        wxEventLoopBase::AddSourceForFD(0, this, wxEVENT_SOURCE_INPUT | wxEVENT_SOURCE_EXCEPTION);
    std::optional<std::string> nextChoice_;
    bool menuOpened_ = false;
    std::vector<int> progress_;
};

class SeamedApp : public ConverterApp {
    ConverterWindow* CreateConverterWindow(EncoderSetup setup, SettingsStore* settings) override {
        // Standard input carries the commands; the encoder must not get it.
        setup.consoleInputFd = -1;
        return new SeamedWindow(std::move(setup), settings);
    }
};

}  // namespace
}  // namespace vantrel

wxIMPLEMENT_APP_NO_MAIN(vantrel::SeamedApp);

int main(int argc, char** argv) { return vantrel::RunConverterApp(argc, argv); }
