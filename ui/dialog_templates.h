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
// Hi" and "Highest" sits inside it.
inline constexpr std::array<ControlTemplate, 35> kMainControls = {{
    {kIdOpen, C::kButton, "OPEN", 260, 10, 50, 14, kStyleDefaultButton | kStyleTabStop},
    {kIdCancel, C::kButton, "Exit", 260, 28, 50, 14, kStylePushButton | kStyleTabStop},
    {kIdProgress, C::kProgress, "Progress1", 10, 185, 300, 15, kStyleBorder},
    {kIdUnaddressed, C::kButton, "", 5, 155, 310, 50, kFrame},
    {kIdEncode, C::kButton, "Encode", 260, 165, 50, 14, kStyleDefaultButton | kStyleTabStop},
    {kIdUnaddressed, C::kButton, "", 5, 0, 245, 155, kFrame},
    {kIdUnaddressed, C::kButton, "", 255, 0, 60, 50, kFrame},
    {kIdUnaddressed, C::kStatic, "Duration", 10, 20, 40, 10, kLabel},
    {kIdUnaddressed, C::kStatic, "Filename", 10, 10, 40, 10, kLabel},
    {kIdFileName, C::kStatic, "", 50, 10, 195, 10, kLabel},
    {kIdDuration, C::kStatic, "", 50, 20, 70, 10, kLabel},
    {kIdUnaddressed, C::kStatic, "Bitrate:", 140, 20, 40, 10, kLabel},
    {kIdBitrate, C::kStatic, "", 180, 20, 65, 10, kLabel},
    {kIdUnaddressed, C::kButton, "Video Stream", 10, 40, 115, 100, kFrame},
    {kIdUnaddressed, C::kStatic, "Codec", 15, 50, 35, 10, kLabel},
    {kIdVideoCodec, C::kStatic, "", 50, 50, 70, 10, kLabel},
    {kIdUnaddressed, C::kStatic, "Size", 15, 60, 35, 10, kLabel},
    {kIdPictureSize, C::kStatic, "", 50, 60, 70, 10, kLabel},
    {kIdUnaddressed, C::kStatic, "FPS", 15, 70, 35, 10, kLabel},
    {kIdFrameRate, C::kStatic, "", 50, 70, 70, 10, kLabel},
    {kIdQualityLowest, C::kButton, "Lowest", 260, 65, 50, 10, kStyleAutoRadio | kStyleGroup},
    {kIdQualityMediumLo, C::kButton, "Medium Lo", 260, 75, 50, 10, kStyleAutoRadio},
    {kIdQualityMediumHi, C::kButton, "Medium Hi", 260, 85, 50, 10, kStyleAutoRadio},
    {kIdUnaddressed, C::kButton, "Video Quality", 255, 55, 60, 55, kFrame},
    {kIdQualityHighest, C::kButton, "Highest", 260, 95, 50, 10, kStyleAutoRadio},
    {kIdUnaddressed, C::kButton, "Picture", 255, 112, 60, 43, kFrame},
    {kIdPictureFit, C::kButton, "Fit", 260, 122, 50, 10, kStyleAutoRadio | kStyleGroup},
    {kIdPictureFill, C::kButton, "Fill", 260, 132, 50, 10, kStyleAutoRadio},
    {kIdPictureStretch, C::kButton, "Stretch", 260, 142, 50, 10, kStyleAutoRadio},
    {kIdStatus, C::kStatic, "", 10, 164, 245, 18, kLabel | kStyleWrap},
    // The list of files below, the window grown for it.
    {kIdUnaddressed, C::kStatic, "Save to", 10, 212, 33, 10, kLabel},
    {kIdSaveTo, C::kChoice, "", 45, 210, 205, 12, kStyleTabStop | kStyleGroup},
    {kIdSourceList, C::kList, "", 5, 227, 310, 82, kStyleTabStop | kStyleBorder | kStyleGroup},
    {kIdRemove, C::kButton, "Remove", 195, 313, 50, 14, kStylePushButton | kStyleTabStop | kStyleGroup},
    {kIdClearFinished, C::kButton, "Clear Finished", 250, 313, 65, 14,
     kStylePushButton | kStyleTabStop},
}};

// The list's columns: the file, its duration, the size to expect or made, and its state.
inline constexpr std::array<ListColumn, 4> kSourceListColumns = {{
    {"File", 118}, {"Duration", 36}, {"Size", 36}, {"State", 108},
}};

inline constexpr std::array<ControlTemplate, 4> kAboutControls = {{
    {kIdUnaddressed, C::kStatic, "", 7, 7, 21, 20, kStyleIcon},
    {kIdUnaddressed, C::kStatic, "Vantrel Video Converter V" VANTREL_VERSION_SHORT, 33, 5, 165, 8,
     kStyleLeft | kStyleNoPrefix | kStyleGroup},
    {kIdUnaddressed, C::kStatic, "Copyright (C) 2026 Vantrel", 35, 20, 105, 8, kLabel},
    {kIdOk, C::kButton, "OK", 148, 24, 50, 14, kStyleDefaultButton | kStyleGroup | kStyleTabStop},
}};

}  // namespace templates_detail

inline constexpr DialogTemplate kConverterDialogTemplate = {102, "Vantrel Video Converter", 320,
                                                            332, templates_detail::kMainControls};

using templates_detail::kSourceListColumns;

inline constexpr DialogTemplate kAboutDialogTemplate = {100, "About Vantrel Video Converter", 205,
                                                        46, templates_detail::kAboutControls};

}  // namespace vantrel
