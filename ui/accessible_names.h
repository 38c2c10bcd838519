#pragma once

#include <array>

#include "platform/translation.h"
#include "ui/control_ids.h"

namespace vantrel {

// What a screen reader calls the main window's controls that show no caption
// of their own: a bar, a picture, the list, the fields and drop-down lists
// named by the label before them, and the panel's values, each named by its
// caption so that "0:45" is heard as the duration. A caption's mnemonic mark
// is dropped where it is used.
struct AccessibleName {
    int id;
    const char* name;
    bool isValue;  // the name goes before the value the control shows
};

inline constexpr std::array<AccessibleName, 16> kAccessibleNames = {{
    // TRANSLATORS: a screen reader's name for the bar that shows how far the list's conversion has come.
    {kIdProgress, TextToTranslate("Progress"), false},
    // TRANSLATORS: a screen reader's name for the picture of the selected movie as the player will show it.
    {kIdPreview, TextToTranslate("Preview of the selected movie"), false},
    // TRANSLATORS: a screen reader's name for the list of movies to convert.
    {kIdSourceList, TextToTranslate("Files to convert"), false},
    {kIdTrimFrom, "&From", false},
    {kIdTrimTo, "&To", false},
    {kIdSaveTo, "Sa&ve to", false},
    {kIdSubtitles, "S&ubtitles", false},
    {kIdFileName, "Filename", true},
    {kIdDuration, "Duration", true},
    {kIdBitrate, "Bitrate:", true},
    {kIdVideoCodec, "Codec", true},
    {kIdPictureSize, "Size", true},
    {kIdFrameRate, "FPS", true},
    {kIdSound, "Sound", true},
    {kIdSubtitlesDrawn, "S&ubtitles", true},
    // TRANSLATORS: a screen reader's name for the line under the panel that tells what the program is doing.
    {kIdStatus, TextToTranslate("Status"), true},
}};

}  // namespace vantrel
