#pragma once

#include <string>

namespace vantrel {

// The parts of a UTF-8 path as this system reads it: on Windows '\\' separates
// folders too, and "C:\\clip.mp4" lies in "C:\\".

// The file's name with its extension: "Trip.AVI" of ".../Movies/Trip.AVI".
std::string FileNamePart(const std::string& path);

// The folder the file lies in: "/" for a file at the root, empty for a bare name.
std::string FolderPart(const std::string& path);

}  // namespace vantrel
