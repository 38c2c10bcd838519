#pragma once

#include <filesystem>
#include <string>

namespace vantrel {

// Paths are UTF-8 throughout the program. These read and write them through
// char8_t, so that a path is never taken in the system's legacy code page. On
// Windows '\\' separates folders too, and "C:\\clip.mp4" lies in "C:\\".

std::filesystem::path PathFromUtf8(const std::string& path);
std::string Utf8Of(const std::filesystem::path& path);

// The file's name with its extension: "Trip.AVI" of ".../Movies/Trip.AVI".
std::string FileNamePart(const std::string& path);

// The folder the file lies in: "/" for a file at the root, empty for a bare name.
std::string FolderPart(const std::string& path);

// The path as given when it is absolute, else under the current folder, in
// normal form, so that "./x.mp4" and "x.mp4" name the same file. Empty when
// the current folder is unknown.
std::string AbsolutePath(const std::string& path);

}  // namespace vantrel
