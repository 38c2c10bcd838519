#pragma once

#include <array>

#include "ui/control_ids.h"
#include "ui/dialog_template.h"

namespace vantrel {

namespace templates_detail {

using C = ControlClass;
inline constexpr unsigned kFrame = kStyleGroupBox;
inline constexpr unsigned kLabel = kStyleLeft | kStyleGroup;

// The main window. The quality radio group starts at "Lowest" and runs to "Fit",
// which starts the picture's own, so the "Video Quality" frame between "Medium
// Hi" and "Highest" sits inside it. The panel is wide enough for the preview
// right of the "Video Stream" box: 256x192 pixels fit its room where a dialog
// unit is smallest, Windows' 8-point font at 96 dots an inch (1.5 pixels
// across, 1.625 down).
inline constexpr std::array<ControlTemplate, 52> kMainControls = {{
    {kIdOpen, C::kButton, "OPEN", 320, 10, 50, 14, kStyleDefaultButton | kStyleTabStop},
    {kIdCancel, C::kButton, "Exit", 320, 28, 50, 14, kStylePushButton | kStyleTabStop},
    {kIdProgress, C::kProgress, "Progress1", 10, 201, 360, 15, kStyleBorder},
    {kIdUnaddressed, C::kButton, "", 5, 171, 370, 50, kFrame},
    {kIdEncode, C::kButton, "Encode", 320, 181, 50, 14, kStyleDefaultButton | kStyleTabStop},
    {kIdUnaddressed, C::kButton, "", 5, 0, 305, 171, kFrame},
    {kIdUnaddressed, C::kButton, "", 315, 0, 60, 50, kFrame},
    {kIdUnaddressed, C::kStatic, "Duration", 10, 20, 40, 10, kLabel},
    {kIdUnaddressed, C::kStatic, "Filename", 10, 10, 40, 10, kLabel},
    {kIdFileName, C::kStatic, "", 50, 10, 195, 10, kLabel},
    {kIdDuration, C::kStatic, "", 50, 20, 70, 10, kLabel},
    {kIdUnaddressed, C::kStatic, "Bitrate:", 140, 20, 40, 10, kLabel},
    {kIdBitrate, C::kStatic, "", 180, 20, 65, 10, kLabel},
    {kIdUnaddressed, C::kButton, "Video Stream", 10, 40, 115, 45, kFrame},
    {kIdUnaddressed, C::kStatic, "Codec", 15, 50, 35, 10, kLabel},
    {kIdVideoCodec, C::kStatic, "", 50, 50, 70, 10, kLabel},
    {kIdUnaddressed, C::kStatic, "Size", 15, 60, 35, 10, kLabel},
    {kIdPictureSize, C::kStatic, "", 50, 60, 70, 10, kLabel},
    {kIdUnaddressed, C::kStatic, "FPS", 15, 70, 35, 10, kLabel},
    {kIdFrameRate, C::kStatic, "", 50, 70, 70, 10, kLabel},
    // The sound track converted, what the subtitles' choice draws, and the
    // choice itself, for the selected rows.
    {kIdUnaddressed, C::kButton, "Sound and Subtitles", 10, 88, 115, 62, kFrame},
    {kIdUnaddressed, C::kStatic, "Sound", 15, 98, 35, 10, kLabel},
    {kIdSound, C::kStatic, "", 50, 98, 70, 20, kLabel | kStyleWrap},
    {kIdUnaddressed, C::kStatic, "Subtitles", 15, 118, 35, 10, kLabel},
    {kIdSubtitlesDrawn, C::kStatic, "", 50, 118, 70, 10, kLabel},
    {kIdSubtitles, C::kChoice, "", 15, 131, 105, 12, kStyleTabStop | kStyleGroup},
    {kIdPreview, C::kPicture, "", 131, 32, 172, 120, 0},
    // The part of the selected rows converted, below the panel's boxes.
    {kIdUnaddressed, C::kStatic, "From", 10, 157, 22, 10, kLabel},
    {kIdTrimFrom, C::kEdit, "", 33, 155, 45, 12, kStyleTabStop | kStyleGroup | kStyleBorder},
    {kIdUnaddressed, C::kStatic, "To", 86, 157, 12, 10, kLabel},
    {kIdTrimTo, C::kEdit, "", 99, 155, 45, 12, kStyleTabStop | kStyleBorder},
    {kIdUnaddressed, C::kStatic, "h:mm:ss; empty: the start or the end", 150, 157, 150, 10, kLabel},
    {kIdQualityLowest, C::kButton, "Lowest", 320, 65, 50, 10, kStyleAutoRadio | kStyleGroup},
    {kIdQualityMediumLo, C::kButton, "Medium Lo", 320, 75, 50, 10, kStyleAutoRadio},
    {kIdQualityMediumHi, C::kButton, "Medium Hi", 320, 85, 50, 10, kStyleAutoRadio},
    {kIdUnaddressed, C::kButton, "Video Quality", 315, 55, 60, 55, kFrame},
    {kIdQualityHighest, C::kButton, "Highest", 320, 95, 50, 10, kStyleAutoRadio},
    {kIdUnaddressed, C::kButton, "Picture", 315, 112, 60, 43, kFrame},
    {kIdPictureFit, C::kButton, "Fit", 320, 122, 50, 10, kStyleAutoRadio | kStyleGroup},
    {kIdPictureFill, C::kButton, "Fill", 320, 132, 50, 10, kStyleAutoRadio},
    {kIdPictureStretch, C::kButton, "Stretch", 320, 142, 50, 10, kStyleAutoRadio},
    {kIdStatus, C::kStatic, "", 10, 180, 305, 18, kLabel | kStyleWrap},
    // The list of files below, the window grown for it.
    {kIdUnaddressed, C::kStatic, "Save to", 10, 228, 33, 10, kLabel},
    {kIdSaveTo, C::kChoice, "", 45, 226, 265, 12, kStyleTabStop | kStyleGroup},
    {kIdSourceList, C::kList, "", 5, 243, 370, 82, kStyleTabStop | kStyleBorder | kStyleGroup},
    // What the computer does once the list is done; the system may forbid
    // sleep or shutting down.
    {kIdUnaddressed, C::kStatic, "When done:", 10, 331, 45, 10, kLabel},
    {kIdWhenDoneNothing, C::kButton, "Do nothing", 57, 331, 50, 10,
     kStyleAutoRadio | kStyleGroup | kStyleTabStop},
    {kIdWhenDoneQuit, C::kButton, "Quit", 109, 331, 28, 10, kStyleAutoRadio},
    {kIdWhenDoneSleep, C::kButton, "Sleep", 139, 331, 32, 10, kStyleAutoRadio},
    {kIdWhenDoneShutDown, C::kButton, "Shut down", 173, 331, 50, 10, kStyleAutoRadio},
    {kIdRemove, C::kButton, "Remove", 255, 329, 50, 14, kStylePushButton | kStyleTabStop | kStyleGroup},
    {kIdClearFinished, C::kButton, "Clear Finished", 310, 329, 65, 14,
     kStylePushButton | kStyleTabStop},
}};

// The list's columns: the file, the name it is saved as (made fit for a
// card, so it may differ by more than its extension), its duration, the size
// to expect or made, and its state.
inline constexpr std::array<ListColumn, 5> kSourceListColumns = {{
    {"File", 100}, {"Saved as", 100}, {"Duration", 34}, {"Size", 34}, {"State", 90},
}};

inline constexpr std::array<ControlTemplate, 5> kAboutControls = {{
    {kIdUnaddressed, C::kStatic, "", 7, 7, 21, 20, kStyleIcon},
    {kIdUnaddressed, C::kStatic, "Vantrel Video Converter V" VANTREL_VERSION_SHORT, 33, 5, 165, 8,
     kStyleLeft | kStyleNoPrefix | kStyleGroup},
    {kIdUnaddressed, C::kStatic, "Copyright (C) 2026 Vantrel", 35, 20, 105, 8, kLabel},
    {kIdOk, C::kButton, "OK", 148, 24, 50, 14, kStyleDefaultButton | kStyleGroup | kStyleTabStop},
    {kIdUnaddressed, C::kStatic, "License: GNU GPL version 3 or later", 35, 42, 165, 8, kLabel},
}};

}  // namespace templates_detail

inline constexpr DialogTemplate kConverterDialogTemplate = {102, "Vantrel Video Converter", 380,
                                                            348, templates_detail::kMainControls};

using templates_detail::kSourceListColumns;

inline constexpr DialogTemplate kAboutDialogTemplate = {100, "About Vantrel Video Converter", 205,
                                                        56, templates_detail::kAboutControls};

}  // namespace vantrel
