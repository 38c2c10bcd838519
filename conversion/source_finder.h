#pragma once

#include <string>
#include <vector>

namespace vantrel {

// The sources that `paths` name, for a list of conversions: a file as it is
// (whatever its name, so that a caller can say why it is refused), a folder
// searched through its subfolders for the movie files the converter takes, in
// name order. Inside folders, hidden files and folders and converted files
// are passed over, and a link that leads back into a folder already searched
// is not followed again. A source named twice, or found twice, comes once.
// Paths are UTF-8.
std::vector<std::string> FindSources(const std::vector<std::string>& paths);

}  // namespace vantrel
