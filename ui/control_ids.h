#pragma once

#include <array>

#include "parse/panel_field.h"

namespace vantrel {

// The ids of the main window's controls, as its template names them.
enum ControlId : int {
    kIdOk = 1,
    kIdCancel = 2,  // Exit
    kIdProgress = 1000,
    kIdOpen = 1001,
    kIdEncode = 1002,
    kIdFileName = 1004,
    kIdDuration = 1005,
    kIdBitrate = 1006,
    kIdVideoCodec = 1007,
    kIdPictureSize = 1008,
    kIdFrameRate = 1009,
    kIdQualityLowest = 1012,
    kIdQualityMediumLo = 1013,
    kIdQualityMediumHi = 1014,
    kIdQualityHighest = 1015,
    kIdPictureFit = 1016,
    kIdPictureFill = 1017,
    kIdPictureStretch = 1018,
    kIdStatus = 1019,  // the line left of Encode: expected size, progress, result
    kIdSourceList = 1020,  // the list of the files to convert
    kIdRemove = 1021,
    kIdClearFinished = 1022,
    kIdSaveTo = 1023,  // where the converted files go
    kIdSound = 1024,           // the sound track the selected row converts
    kIdSubtitles = 1025,       // the drop-down list of the selected rows' subtitles
    kIdSubtitlesDrawn = 1026,  // what the selected row's choice of subtitles draws
    kIdPreview = 1027,         // the selected row as the player will show it
    kIdTrimFrom = 1028,        // where the selected rows' part begins; empty: at the beginning
    kIdTrimTo = 1029,          // and where it ends; empty: at the end
    // What happens once the whole list is done: radio buttons.
    kIdWhenDoneNothing = 1030,
    kIdWhenDoneQuit = 1031,
    kIdWhenDoneSleep = 1032,
    kIdWhenDoneShutDown = 1033,
    kIdUnaddressed = -1,  // a label or frame the program never changes
};

// The panel's text controls, in the order of kPanelFields.
inline constexpr std::array<int, 5> kPanelControls = {kIdDuration, kIdBitrate, kIdVideoCodec,
                                                      kIdPictureSize, kIdFrameRate};

inline int ControlOf(PanelField field) { return kPanelControls[static_cast<size_t>(field)]; }

// The radio buttons of the player format's qualities, in their order, and
// of kPictureFits.
inline constexpr std::array<int, 4> kQualityRadios = {kIdQualityLowest, kIdQualityMediumLo,
                                                      kIdQualityMediumHi, kIdQualityHighest};
inline constexpr std::array<int, 3> kPictureFitRadios = {kIdPictureFit, kIdPictureFill,
                                                         kIdPictureStretch};

// The radio buttons of what happens once the list is done, in their order.
inline constexpr std::array<int, 4> kWhenDoneRadios = {kIdWhenDoneNothing, kIdWhenDoneQuit,
                                                       kIdWhenDoneSleep, kIdWhenDoneShutDown};

// The command that opens the About box, from the context menu or F1.
inline constexpr int kAboutCommand = 16;

// The progress bar counts thousandths of a percent.
inline constexpr int kProgressRange = 100000;

}  // namespace vantrel
