// vantrel-convert: the window's conversion for batches and scripts.
#include <string>
#include <vector>

#include "cli/convert_command.h"
#include "cli/posix/system_gettext.h"

int main(int argc, char** argv) {
    vantrel::cli::UseSystemGettext();
    return vantrel::cli::RunConvertCommand(std::vector<std::string>(argv + 1, argv + argc));
}
