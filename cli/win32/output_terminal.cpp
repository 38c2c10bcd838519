#include "cli/output_terminal.h"

#include <windows.h>

namespace vantrel::cli {

OutputTerminal DescribeStandardOutput() {
    OutputTerminal terminal;
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    // A console that does not take the cursor movements (one older than
    // Windows 10) is written to as a log is.
    terminal.live = ::GetConsoleMode(out, &mode) &&
                    ::SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    if (terminal.live && ::GetConsoleScreenBufferInfo(out, &screen)) {
        const int columns = screen.srWindow.Right - screen.srWindow.Left + 1;
        if (columns > 1) terminal.width = static_cast<size_t>(columns);
    }
    return terminal;
}

}  // namespace vantrel::cli
