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
    {kIdOpen, C::kButton, TextToTranslate("&OPEN"), 387, 10, 78, 14, kStyleDefaultButton | kStyleTabStop},
    {kIdCancel, C::kButton, TextToTranslate("E&xit"), 387, 28, 78, 14, kStylePushButton | kStyleTabStop},
    {kIdProgress, C::kProgress, "Progress1", 10, 201, 455, 15, kStyleBorder},
    {kIdUnaddressed, C::kButton, "", 5, 171, 465, 50, kFrame},
    {kIdUnaddressed, C::kButton, "", 5, 0, 372, 171, kFrame},
    {kIdUnaddressed, C::kButton, "", 382, 0, 88, 50, kFrame},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Duration"), 10, 20, 58, 10, kLabel},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Filename"), 10, 10, 58, 10, kLabel},
    {kIdFileName, C::kStatic, "", 70, 10, 295, 10, kLabel},
    {kIdDuration, C::kStatic, "", 70, 20, 75, 10, kLabel},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Bitrate:"), 150, 20, 56, 10, kLabel},
    {kIdBitrate, C::kStatic, "", 208, 20, 80, 10, kLabel},
    {kIdUnaddressed, C::kButton, TextToTranslate("Video Stream"), 10, 40, 160, 45, kFrame},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Codec"), 15, 50, 58, 10, kLabel},
    {kIdVideoCodec, C::kStatic, "", 75, 50, 90, 10, kLabel},
    // TRANSLATORS: the picture's size in pixels, such as 1920x1080.
    {kIdUnaddressed, C::kStatic, TextToTranslate("Size"), 15, 60, 58, 10, kLabel},
    {kIdPictureSize, C::kStatic, "", 75, 60, 90, 10, kLabel},
    // TRANSLATORS: frames per second.
    {kIdUnaddressed, C::kStatic, TextToTranslate("FPS"), 15, 70, 58, 10, kLabel},
    {kIdFrameRate, C::kStatic, "", 75, 70, 90, 10, kLabel},
    // The sound track converted, what the subtitles' choice draws, and the
    // choice itself, for the selected rows.
    {kIdUnaddressed, C::kButton, TextToTranslate("Sound and Subtitles"), 10, 88, 160, 62, kFrame},
    {kIdUnaddressed, C::kStatic, TextToTranslate("Sound"), 15, 98, 58, 10, kLabel},
    {kIdSound, C::kStatic, "", 75, 98, 90, 20, kLabel | kStyleWrap},
    {kIdUnaddressed, C::kStatic, TextToTranslate("S&ubtitles"), 15, 118, 58, 10, kLabel},
    {kIdSubtitlesDrawn, C::kStatic, "", 75, 118, 90, 10, kLabel},
    {kIdSubtitles, C::kChoice, "", 15, 131, 150, 12, kStyleTabStop | kStyleGroup},
    {kIdPreview, C::kPicture, "", 188, 32, 172, 120, 0},
    // The part of the selected rows converted, below the panel's boxes.
    // TRANSLATORS: "From" and "To" frame the part of the movie converted.
    {kIdUnaddressed, C::kStatic, TextToTranslate("&From"), 10, 157, 34, 10, kLabel},
    {kIdTrimFrom, C::kEdit, "", 46, 155, 42, 12, kStyleTabStop | kStyleGroup | kStyleBorder},
    // TRANSLATORS: where the part of the movie converted ends.
    {kIdUnaddressed, C::kStatic, TextToTranslate("&To"), 93, 157, 24, 10, kLabel},
    {kIdTrimTo, C::kEdit, "", 119, 155, 42, 12, kStyleTabStop | kStyleBorder},
    // TRANSLATORS: how times are typed in From and To: hours, minutes and seconds; an empty field means the
    // start of the movie, or its end.
    {kIdUnaddressed, C::kStatic, TextToTranslate("h:mm:ss; empty: the start or the end"), 165, 157, 210, 10,
     kLabel},
    // TRANSLATORS: the video qualities, from the smallest files to the best picture: "Medium Lo" and
    // "Medium Hi" are the lower and the higher of the two between.
    {kIdQualityLowest, C::kButton, TextToTranslate("Lo&west"), 387, 65, 80, 10, kStyleAutoRadio | kStyleGroup},
    // TRANSLATORS: a video quality, the lower of the two between Lowest and Highest.
    {kIdQualityMediumLo, C::kButton, TextToTranslate("&Medium Lo"), 387, 75, 80, 10, kStyleAutoRadio},
    // TRANSLATORS: a video quality, the higher of the two between Lowest and Highest.
    {kIdQualityMediumHi, C::kButton, TextToTranslate("Medium &Hi"), 387, 85, 80, 10, kStyleAutoRadio},
    {kIdUnaddressed, C::kButton, TextToTranslate("Video Quality"), 382, 55, 88, 55, kFrame},
    {kIdQualityHighest, C::kButton, TextToTranslate("Hi&ghest"), 387, 95, 80, 10, kStyleAutoRadio},
    {kIdUnaddressed, C::kButton, TextToTranslate("Picture"), 382, 112, 88, 43, kFrame},
    // TRANSLATORS: how a picture of another shape meets the player's screen: Fit shows all of it with bars,
    // Fill covers the screen and cuts the edges off, Stretch distorts it to the screen's shape.
    {kIdPictureFit, C::kButton, TextToTranslate("F&it"), 387, 122, 80, 10, kStyleAutoRadio | kStyleGroup},
    // TRANSLATORS: the picture covers the player's screen, its edges cut off.
    {kIdPictureFill, C::kButton, TextToTranslate("Fi&ll"), 387, 132, 80, 10, kStyleAutoRadio},
    // TRANSLATORS: the picture is distorted to the player's screen's shape.
    {kIdPictureStretch, C::kButton, TextToTranslate("&Stretch"), 387, 142, 80, 10, kStyleAutoRadio},
    {kIdStatus, C::kStatic, "", 10, 180, 369, 18, kLabel | kStyleWrap},
    // Encode after what it takes from the panel, in the order of tabbing.
    {kIdEncode, C::kButton, TextToTranslate("&Encode"), 387, 181, 78, 14, kStyleDefaultButton | kStyleTabStop},
    // The list of files below, the window grown for it.
    {kIdUnaddressed, C::kStatic, TextToTranslate("Sa&ve to"), 10, 228, 52, 10, kLabel},
    {kIdSaveTo, C::kChoice, "", 64, 226, 225, 12, kStyleTabStop | kStyleGroup},
    {kIdRemove, C::kButton, TextToTranslate("&Remove"), 298, 225, 66, 14,
     kStylePushButton | kStyleTabStop | kStyleGroup},
    // TRANSLATORS: takes the converted, failed and skipped files off the list.
    {kIdClearFinished, C::kButton, TextToTranslate("&Clear Finished"), 369, 225, 101, 14,
     kStylePushButton | kStyleTabStop},
    {kIdSourceList, C::kList, "", 5, 243, 465, 82, kStyleTabStop | kStyleBorder | kStyleGroup},
    // What the computer does once the list is done; the system may forbid
    // sleep or shutting down.
    {kIdUnaddressed, C::kStatic, TextToTranslate("When done:"), 10, 331, 66, 10, kLabel},
    // TRANSLATORS: what happens once the whole list is converted: nothing, the program quits, or the computer
    // sleeps or shuts down.
    {kIdWhenDoneNothing, C::kButton, TextToTranslate("Do &nothing"), 78, 331, 84, 10,
     kStyleAutoRadio | kStyleGroup | kStyleTabStop},
    // TRANSLATORS: once the list is done, the program quits.
    {kIdWhenDoneQuit, C::kButton, TextToTranslate("&Quit"), 164, 331, 46, 10, kStyleAutoRadio},
    // TRANSLATORS: once the list is done, the computer goes to sleep.
    {kIdWhenDoneSleep, C::kButton, TextToTranslate("Slee&p"), 212, 331, 60, 10, kStyleAutoRadio},
    // TRANSLATORS: once the list is done, the computer shuts down.
    {kIdWhenDoneShutDown, C::kButton, TextToTranslate("Shut &down"), 274, 331, 78, 10, kStyleAutoRadio},
}};

// The list's columns: the file, the name it is saved as (made fit for a
// card, so it may differ by more than its extension), its duration, the size
// to expect or made, and its state.
inline constexpr std::array<ListColumn, 5> kSourceListColumns = {{
    // TRANSLATORS: the movie's file name.
    {TextToTranslate("File"), 125},
    // TRANSLATORS: the name the converted file is given.
    {TextToTranslate("Saved as"), 125},
    {TextToTranslate("Duration"), 64},
    // TRANSLATORS: the converted file's size, to expect or made, such as 2.4 MB.
    {TextToTranslate("Size"), 40},
    // TRANSLATORS: where a file of the list stands: waiting, converting, converted, failed...
    {TextToTranslate("State"), 100},
}};

inline constexpr std::array<ControlTemplate, 5> kAboutControls = {{
    {kIdUnaddressed, C::kStatic, "", 7, 7, 21, 20, kStyleIcon},
    {kIdUnaddressed, C::kStatic, "Vantrel Video Converter V" VANTREL_VERSION_SHORT, 33, 5, 205, 8,
     kStyleLeft | kStyleNoPrefix | kStyleGroup},
    {kIdUnaddressed, C::kStatic, "Copyright (C) 2026 Vantrel", 35, 20, 105, 8, kLabel},
    {kIdOk, C::kButton, TextToTranslate("OK"), 188, 24, 50, 14,
     kStyleDefaultButton | kStyleGroup | kStyleTabStop},
    {kIdUnaddressed, C::kStatic, TextToTranslate("License: GNU GPL version 3 or later"), 35, 42, 205, 8, kLabel},
}};

}  // namespace templates_detail

inline constexpr DialogTemplate kConverterDialogTemplate = {102, "Vantrel Video Converter", 475,
                                                            348, templates_detail::kMainControls};

using templates_detail::kSourceListColumns;

inline constexpr DialogTemplate kAboutDialogTemplate = {100, TextToTranslate("About Vantrel Video Converter"),
                                                        245, 56, templates_detail::kAboutControls};

}  // namespace vantrel
