#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vantrel {

// The movie files the converter takes, by extension in lower case, in the
// order the open dialog lists them: the old camera and disc types, then what
// phones, cameras, browsers and disc rips make today. "mpeg" alone needs no
// dot before it.
inline constexpr std::array<std::string_view, 17> kSourceExtensions = {
    "mpeg", "mpg", "mp4", "mpe", "wmv", "avi", "mov", "mkv", "webm",
    "m4v",  "3gp", "mts", "m2ts", "ts", "vob", "flv", "ogv"};

// The open dialog's filter: pairs of description, in the user's language, and
// ';'-separated patterns, all separated by '|'. Each pattern comes in lower
// and upper case, since a file chooser may match case-sensitively and cameras
// name files MVI_0001.MOV.
std::string OpenFileFilter();

// "mpeg, mov, avi, ..." for messages that say what is accepted.
std::string AcceptedExtensionList();

}  // namespace vantrel
