// Stops vantrel-convert.exe mid-run the ways a Windows user can, for the
// Windows test: starts it in a console and process group of its own, and once
// its first progress line has come either sends it Ctrl-Break ("ctrl-break")
// or ends it with TerminateProcess ("terminate"). Then it waits for the end of
// the encoder the program had started, and prints the program's output, its
// exit code and whether its encoder had ended before it did.
//   win32_stop_driver ctrl-break|terminate PROGRAM ARGUMENT...
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/command_line_quoting.h"
#include "platform/win32/wide_text.h"

namespace {

// The first process that `parent` started whose program is ffmpeg.exe.
HANDLE OpenEncoderOf(DWORD parent) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    HANDLE encoder = nullptr;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && encoder == nullptr;
         more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parent && ::lstrcmpiW(entry.szExeFile, L"ffmpeg.exe") == 0)
            encoder = ::OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
    }
    ::CloseHandle(snapshot);
    return encoder;
}

}  // namespace

int wmain(int, wchar_t**) {
    int count = 0;
    wchar_t** const words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (count < 3) return 2;
    const std::wstring how = words[1];
    std::vector<std::string> argv;
    for (int i = 2; i < count; ++i) argv.push_back(vantrel::ToUtf8(words[i]));

    // Console events reach only programs on the same console; under ctest
    // there is none at first.
    ::FreeConsole();
    ::AllocConsole();

    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE output = nullptr;
    HANDLE outputEnd = nullptr;
    ::CreatePipe(&output, &outputEnd, &inheritable, 0);
    ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = outputEnd;
    PROCESS_INFORMATION program{};
    std::wstring commandLine = vantrel::ToWide(vantrel::QuoteCommandLine(argv));
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &program))
        return 2;
    ::CloseHandle(outputEnd);
    // The event is for the program's group; this driver must outlive it anyway.
    ::SetConsoleCtrlHandler(nullptr, TRUE);

    std::string said;
    HANDLE encoder = nullptr;
    char buffer[4096];
    for (DWORD n = 0; ::ReadFile(output, buffer, sizeof buffer, &n, nullptr) && n > 0;) {
        said.append(buffer, n);
        if (encoder != nullptr || said.find("% [") == std::string::npos) continue;
        encoder = OpenEncoderOf(program.dwProcessId);
        if (how == L"terminate") {
            ::TerminateProcess(program.hProcess, 1);
        } else if (!::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, program.dwProcessId)) {
            // wine's console sends Ctrl-C only, and only to a group, which
            // Windows itself never does; both reach the same handler.
            ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, program.dwProcessId);
        }
    }
    ::WaitForSingleObject(program.hProcess, INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(program.hProcess, &exitCode);
    const bool encoderEndedFirst =
        encoder != nullptr && ::WaitForSingleObject(encoder, 0) == WAIT_OBJECT_0;
    // After TerminateProcess the program's job ends the encoder, a moment later.
    if (encoder != nullptr) ::WaitForSingleObject(encoder, INFINITE);
    std::printf("%s\nexit code: %lu\nencoder found: %s\nencoder ended before the program: %s\n",
                said.c_str(), exitCode, encoder != nullptr ? "yes" : "no",
                encoderEndedFirst ? "yes" : "no");
    return 0;
}
