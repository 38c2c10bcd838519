#pragma once

#include <array>

#include "platform/translation.h"
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
    // TRANSLATORS: the button that adds movies to the list; the program has always written it in capitals.
    {kIdOpen, C::kButton, TextToTranslate("OPEN"), 320, 10, 50, 14, kStyleDefaultButton | kStyleTabStop},
    {kIdCancel, C::kButton, TextToTranslate("Exit"), 320, 28, 50, 14, kStylePushButton | kStyleTabStop},
    {kIdProgress, C::kProgress, "Progress1", 10, 201, 360, 15, kStyleBorder},
    {kIdUnaddressed, C::kButton, "", 5, 171, 370, 50, kFrame},
    {kIdEncode, C::kButton, TextToTranslate("Encode"), 320, 181, 50, 14, kStyleDefaultButton | kStyleTabStop},
    {kIdUnaddressed, C::kButton, "", 5, 0, 305, 171, kFrame},
    {kIdUnaddressed, C::kButton, "", 315, 0, 60, 50, kFrame},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Duration"), 10, 20, 40, 10, kLabel},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Filename"), 10, 10, 40, 10, kLabel},
    {kIdFileName, C::kStatic, "", 50, 10, 195, 10, kLabel},
    {kIdDuration, C::kStatic, "", 50, 20, 70, 10, kLabel},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Bitrate:"), 140, 20, 40, 10, kLabel},
    {kIdBitrate, C::kStatic, "", 180, 20, 65, 10, kLabel},
    {kIdUnaddressed, C::kButton, TextToTranslate("Video Stream"), 10, 40, 115, 45, kFrame},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Codec"), 15, 50, 35, 10, kLabel},
    {kIdVideoCodec, C::kStatic, "", 50, 50, 70, 10, kLabel},
    // TRANSLATORS: the picture's size in pixels, such as 1920x1080.
    {kIdUnaddressed, C::kStatic, TextToTranslate("Size"), 15, 60, 35, 10, kLabel},
    {kIdPictureSize, C::kStatic, "", 50, 60, 70, 10, kLabel},
    // TRANSLATORS: frames per second.
    {kIdUnaddressed, C::kStatic, TextToTranslate("FPS"), 15, 70, 35, 10, kLabel},
    {kIdFrameRate, C::kStatic, "", 50, 70, 70, 10, kLabel},
    // The sound track converted, what the subtitles' choice draws, and the
    // choice itself, for the selected rows.
    {kIdUnaddressed, C::kButton, TextToTranslate("Sound and Subtitles"), 10, 88, 115, 62, kFrame},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Sound"), 15, 98, 35, 10, kLabel},
    {kIdSound, C::kStatic, "", 50, 98, 70, 20, kLabel | kStyleWrap},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Subtitles"), 15, 118, 35, 10, kLabel},
    {kIdSubtitlesDrawn, C::kStatic, "", 50, 118, 70, 10, kLabel},
    {kIdSubtitles, C::kChoice, "", 15, 131, 105, 12, kStyleTabStop | kStyleGroup},
    {kIdPreview, C::kPicture, "", 131, 32, 172, 120, 0},
    // The part of the selected rows converted, below the panel's boxes.
    // TRANSLATORS: "From" and "To" frame the part of the movie converted.
    {kIdUnaddressed, C::kStatic, TextToTranslate("From"), 10, 157, 22, 10, kLabel},
    {kIdTrimFrom, C::kEdit, "", 33, 155, 45, 12, kStyleTabStop | kStyleGroup | kStyleBorder},
    // TRANSLATORS: where the part of the movie converted ends.
    {kIdUnaddressed, C::kStatic, TextToTranslate("To"), 86, 157, 12, 10, kLabel},
    {kIdTrimTo, C::kEdit, "", 99, 155, 45, 12, kStyleTabStop | kStyleBorder},
    // TRANSLATORS: how times are typed in From and To: hours, minutes and seconds; an empty field means the
    // start of the movie, or its end.
    {kIdUnaddressed, C::kStatic, TextToTranslate("h:mm:ss; empty: the start or the end"), 150, 157, 150, 10,
     kLabel},
    // TRANSLATORS: the video qualities, from the smallest files to the best picture: "Medium Lo" and
    // "Medium Hi" are the lower and the higher of the two between.
    {kIdQualityLowest, C::kButton, TextToTranslate("Lowest"), 320, 65, 50, 10, kStyleAutoRadio | kStyleGroup},
    // TRANSLATORS: a video quality, the lower of the two between Lowest and Highest.
    {kIdQualityMediumLo, C::kButton, TextToTranslate("Medium Lo"), 320, 75, 50, 10, kStyleAutoRadio},
    // TRANSLATORS: a video quality, the higher of the two between Lowest and Highest.
    {kIdQualityMediumHi, C::kButton, TextToTranslate("Medium Hi"), 320, 85, 50, 10, kStyleAutoRadio},
    {kIdUnaddressed, C::kButton, TextToTranslate("Video Quality"), 315, 55, 60, 55, kFrame},
    {kIdQualityHighest, C::kButton, TextToTranslate("Highest"), 320, 95, 50, 10, kStyleAutoRadio},
    {kIdUnaddressed, C::kButton, TextToTranslate("Picture"), 315, 112, 60, 43, kFrame},
    // TRANSLATORS: how a picture of another shape meets the player's screen: Fit shows all of it with bars,
    // Fill covers the screen and cuts the edges off, Stretch distorts it to the screen's shape.
    {kIdPictureFit, C::kButton, TextToTranslate("Fit"), 320, 122, 50, 10, kStyleAutoRadio | kStyleGroup},
    // TRANSLATORS: the picture covers the player's screen, its edges cut off.
    {kIdPictureFill, C::kButton, TextToTranslate("Fill"), 320, 132, 50, 10, kStyleAutoRadio},
    // TRANSLATORS: the picture is distorted to the player's screen's shape.
    {kIdPictureStretch, C::kButton, TextToTranslate("Stretch"), 320, 142, 50, 10, kStyleAutoRadio},
    {kIdStatus, C::kStatic, "", 10, 180, 305, 18, kLabel | kStyleWrap},
    // The list of files below, the window grown for it.
    {kIdUnaddressed, C::kStatic, TextToTranslate("Save to"), 10, 228, 33, 10, kLabel},
    {kIdSaveTo, C::kChoice, "", 45, 226, 265, 12, kStyleTabStop | kStyleGroup},
    {kIdSourceList, C::kList, "", 5, 243, 370, 82, kStyleTabStop | kStyleBorder | kStyleGroup},
    // What the computer does once the list is done; the system may forbid
    // sleep or shutting down.
    {kIdUnaddressed, C::kStatic, TextToTranslate("When done:"), 10, 331, 45, 10, kLabel},
    // TRANSLATORS: what happens once the whole list is converted: nothing, the program quits, or the computer
    // sleeps or shuts down.
    {kIdWhenDoneNothing, C::kButton, TextToTranslate("Do nothing"), 57, 331, 50, 10,
     kStyleAutoRadio | kStyleGroup | kStyleTabStop},
    // TRANSLATORS: once the list is done, the program quits.
    {kIdWhenDoneQuit, C::kButton, TextToTranslate("Quit"), 109, 331, 28, 10, kStyleAutoRadio},
    // TRANSLATORS: once the list is done, the computer goes to sleep.
    {kIdWhenDoneSleep, C::kButton, TextToTranslate("Sleep"), 139, 331, 32, 10, kStyleAutoRadio},
    // TRANSLATORS: once the list is done, the computer shuts down.
    {kIdWhenDoneShutDown, C::kButton, TextToTranslate("Shut down"), 173, 331, 50, 10, kStyleAutoRadio},
    {kIdRemove, C::kButton, TextToTranslate("Remove"), 255, 329, 50, 14,
     kStylePushButton | kStyleTabStop | kStyleGroup},
    // TRANSLATORS: takes the converted, failed and skipped files off the list.
    {kIdClearFinished, C::kButton, TextToTranslate("Clear Finished"), 310, 329, 65, 14,
     kStylePushButton | kStyleTabStop},
}};

// The list's columns: the file, the name it is saved as (made fit for a
// card, so it may differ by more than its extension), its duration, the size
// to expect or made, and its state.
inline constexpr std::array<ListColumn, 5> kSourceListColumns = {{
    // TRANSLATORS: the movie's file name.
    {TextToTranslate("File"), 100},
    // TRANSLATORS: the name the converted file is given.
    {TextToTranslate("Saved as"), 100},
    {TextToTranslate("Duration"), 34},
    // TRANSLATORS: the converted file's size, to expect or made, such as 2.4 MB.
    {TextToTranslate("Size"), 34},
    // TRANSLATORS: where a file of the list stands: waiting, converting, converted, failed...
    {TextToTranslate("State"), 90},
}};

inline constexpr std::array<ControlTemplate, 5> kAboutControls = {{
    {kIdUnaddressed, C::kStatic, "", 7, 7, 21, 20, kStyleIcon},
    {kIdUnaddressed, C::kStatic, "Vantrel Video Converter V" VANTREL_VERSION_SHORT, 33, 5, 165, 8,
     kStyleLeft | kStyleNoPrefix | kStyleGroup},
    {kIdUnaddressed, C::kStatic, "Copyright (C) 2026 Vantrel", 35, 20, 105, 8, kLabel},
    {kIdOk, C::kButton, TextToTranslate("OK"), 148, 24, 50, 14,
     kStyleDefaultButton | kStyleGroup | kStyleTabStop},
    {kIdUnaddressed, C::kStatic, TextToTranslate("License: GNU GPL version 3 or later"), 35, 42, 165, 8, kLabel},
}};

}  // namespace templates_detail

inline constexpr DialogTemplate kConverterDialogTemplate = {102, "Vantrel Video Converter", 380,
                                                            348, templates_detail::kMainControls};

using templates_detail::kSourceListColumns;

inline constexpr DialogTemplate kAboutDialogTemplate = {100, TextToTranslate("About Vantrel Video Converter"),
                                                        205, 56, templates_detail::kAboutControls};

}  // namespace vantrel
