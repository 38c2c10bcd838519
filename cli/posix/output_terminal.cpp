#include "cli/output_terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace vantrel::cli {

OutputTerminal DescribeStandardOutput() {
    OutputTerminal terminal;
    terminal.live = ::isatty(STDOUT_FILENO) == 1;
    winsize size{};
    if (terminal.live && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
        terminal.width = size.ws_col;
    return terminal;
}

}  // namespace vantrel::cli
