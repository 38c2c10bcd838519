#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// The system's choosers, modal over `owner`, starting in `folder` unless it
// is empty; paths are UTF-8.

// Movies, one or several, shown through the converter's filter: their full
// paths, none when cancelled.
std::vector<std::string> ChooseMovieFiles(HWND owner, const std::string& folder);

// A folder of the file system, or nothing when cancelled.
std::optional<std::string> ChooseFileSystemFolder(HWND owner, const std::string& folder);

// The open dialog's answer when several files may be chosen: one file comes
// as its full path; several as their folder and then each name, each ended by
// a NUL and the whole by one more. The chosen files' full paths.
std::vector<std::string> PathsChosenInOpenDialog(const wchar_t* answer);

}  // namespace vantrel
