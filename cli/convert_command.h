#pragma once

#include <string>
#include <vector>

namespace vantrel::cli {

// vantrel-convert after its start-up: `arguments` are the words after the
// program's name, in UTF-8. It writes to std::cout and std::cerr and returns
// the exit status of the whole batch.
int RunConvertCommand(const std::vector<std::string>& arguments);

}  // namespace vantrel::cli
