// vantrel-convert.exe: the window's conversion for batches and scripts.
#include <windows.h>
#include <shellapi.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/win32/console_stream.h"
#include "cli/convert_command.h"
#include "platform/message_catalog.h"
#include "platform/win32/wide_text.h"

namespace {

// The words after the program's name, split as Windows splits a command line
// (the way the encoder's own command line is quoted), in UTF-8.
std::vector<std::string> ArgumentsAfterProgramName() {
    int count = 0;
    wchar_t** const words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) arguments.push_back(vantrel::ToUtf8(words[i]));
    ::LocalFree(words);
    return arguments;
}

}  // namespace

int wmain(int, wchar_t**) {
    vantrel::UseProgramCatalog();
    vantrel::cli::ConsoleStreamBuffer out(::GetStdHandle(STD_OUTPUT_HANDLE));
    vantrel::cli::ConsoleStreamBuffer err(::GetStdHandle(STD_ERROR_HANDLE));
    std::streambuf* const runtimeOut = std::cout.rdbuf(&out);
    std::streambuf* const runtimeErr = std::cerr.rdbuf(&err);
    const int status = vantrel::cli::RunConvertCommand(ArgumentsAfterProgramName());
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(runtimeOut);
    std::cerr.rdbuf(runtimeErr);
    return status;
}
