#pragma once

#include <string>

namespace vantrel {

// The folder of a path: everything before its last '/'. Empty when the path
// has no '/' or only a leading one.
std::string FolderOf(const std::string& path);

// The folder of this program's executable (from /proc/self/exe); empty when
// it cannot be read.
std::string ProgramFolder();

// The first executable file called `name` in the folders of $PATH; empty if none.
std::string FindOnPath(const std::string& name);

bool IsExecutableFile(const std::string& path);

}  // namespace vantrel
