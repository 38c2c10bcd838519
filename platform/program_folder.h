#pragma once

#include <string>

namespace vantrel {

// The folder of a path: everything before its last separator ('/', and on
// Windows also '\\'). Empty when the path has none, or only a leading one.
std::string FolderOf(const std::string& path);

// The folder a file lies in, as a folder to ask the system about: "/" for a
// file at the root, "." for a bare name in the current folder.
inline std::string ContainingFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    if (!folder.empty()) return folder;
    return path.rfind('/', 0) == 0 ? "/" : ".";
}

// `folder` and `name` joined with this system's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// The file name of a program called `stem` here: "ffmpeg", or on Windows
// "ffmpeg.exe".
std::string ProgramFileName(const std::string& stem);

// The folder of this program's executable (from /proc/self/exe, or on Windows
// GetModuleFileNameW); empty when it cannot be read.
std::string ProgramFolder();

// The folder where this user's files of the program's own are kept, such as
// the report of a list done before the computer slept ($XDG_DATA_HOME/vantrel,
// ~/.local/share/vantrel, or on Windows %LOCALAPPDATA%\Vantrel); it may not
// exist yet. Empty when the system names none.
std::string ProgramDataFolder();

// The first executable file called `name` in the folders of PATH; empty if none.
std::string FindOnPath(const std::string& name);

bool IsExecutableFile(const std::string& path);

}  // namespace vantrel
