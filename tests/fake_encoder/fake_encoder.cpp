// A stand-in for ffmpeg that does what a script tells it, for the faults the
// real encoder cannot produce on demand. The script is the file given to -i;
// one command per line:
//   say TEXT       write TEXT to the output (\r and \n escapes)
//   describe       describe the script as ffmpeg describes a 50 s movie with
//                  a picture and sound
//   target N       write N bytes to the target (the last argument)
//   args           write the arguments, one per line, to SCRIPT.args
//   talk           print a progress line every 2 ms, for ever
//   flood MB       print MB megabytes of progress lines as fast as possible
//   garbage N      print N pseudo-random bytes, NULs included
//   hang           print nothing and never exit
//   ignore-term    ignore SIGTERM (Linux; Windows ends a process without asking it)
//   grandchild     leave a child behind that holds the output
//   probe-exit     exit 1 here when there is no target (a probe), as ffmpeg does
//   crash          die from an invalid memory access
//   exit N         exit with status N
//   frame R G B    write one frame of the player's size in that colour, as
//                  rows of RGB bytes, to the target (a preview's)
// A run that measures the loudness (its filters end in "ebur128") prints the
// meter's summary of a sound at -23 LUFS and ends, whatever the script says.
// A preview (a run that asks for one frame, "-frames:v") runs only the lines
// that begin with "preview ", without that word, and its "args" writes
// SCRIPT.preview.args: a script tells what its preview does apart from its
// probe and conversion, which never see those lines.
// Standard output and error go to the same pipe, so everything goes to the first.
// Arguments and paths are UTF-8, as the converter passes them.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "conversion/output_format.h"

namespace {

#ifdef _WIN32
// A copy of this program with the same command line marked by this variable
// only hangs: the grandchild.
constexpr wchar_t kHangMark[] = L"VANTREL_FAKE_ENCODER_HANG";

std::vector<std::string> Arguments(int, char**) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        const std::u8string word = std::filesystem::path(words[i]).u8string();
        arguments.emplace_back(word.begin(), word.end());
    }
    LocalFree(words);
    return arguments;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) { return {argv, argv + argc}; }
#endif

void Say(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        std::exit(141);  // the reader has gone: end as SIGPIPE would
}

[[noreturn]] void Hang() {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

void LeaveGrandchild() {
#ifdef _WIN32
    std::wstring commandLine = GetCommandLineW();  // names this program by its full path
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION child{};
    if (SetHandleInformation(output, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) &&
        SetEnvironmentVariableW(kHangMark, L"1") &&
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &child)) {
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
#else
    if (::fork() == 0) Hang();
#endif
}

[[noreturn]] void Crash() {
#ifdef _WIN32
    // End with the access violation's code, as without a debugger to offer.
    SetUnhandledExceptionFilter(
        [](EXCEPTION_POINTERS*) -> LONG { return EXCEPTION_EXECUTE_HANDLER; });
#else
    ::signal(SIGSEGV, SIG_DFL);  // not the sanitizers' report and exit
#endif
    *static_cast<volatile int*>(nullptr) = 0;
    std::abort();
}

std::filesystem::path PathOf(const std::string& utf8) {
    const std::string path = utf8.rfind("file:", 0) == 0 ? utf8.substr(5) : utf8;
    return std::u8string(path.begin(), path.end());
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    if (GetEnvironmentVariableW(kHangMark, nullptr, 0) > 0) Hang();
    _setmode(_fileno(stdout), _O_BINARY);  // every byte as written
#endif
    const std::vector<std::string> arguments = Arguments(argc, argv);
    std::string script;
    // The source is the first input; anything after it, the converter's.
    size_t source = 0;
    for (size_t i = arguments.size() - 1; i > 1; --i) {
        if (arguments[i - 1] == "-i") source = i;
    }
    if (source > 0) script = arguments[source];
    // A probe names no target: its last argument is the source.
    const std::string target = source + 1 < arguments.size() ? arguments.back() : "";
    const bool preview = std::find(arguments.begin(), arguments.end(), "-frames:v") != arguments.end();
    if (std::any_of(arguments.begin(), arguments.end(),
                    [](const std::string& a) { return a.find("ebur128") != std::string::npos; })) {
        Say("[Parsed_ebur128_0 @ 0x1] Summary:\n\n  Integrated loudness:\n    I:         -23.0 LUFS\n"
            "    Threshold: -33.0 LUFS\n\n  Sample peak:\n    Peak:       -5.0 dBFS\n");
        return 0;
    }
    std::ifstream in(PathOf(script), std::ios::binary);
    if (!in) {
        Say(script + ": No such file or directory\n");
        return 1;
    }
    for (std::string line; std::getline(in, line);) {
        const bool previewLine = line.rfind("preview ", 0) == 0;
        if (preview != previewLine) continue;
        if (previewLine) line.erase(0, 8);
        const std::string command = line.substr(0, line.find(' '));
        const std::string rest = line.substr(std::min(line.size(), command.size() + 1));
        const size_t n = std::strtoul(rest.c_str(), nullptr, 10);
        if (command == "say") {
            Say(std::regex_replace(std::regex_replace(rest, std::regex(R"(\\n)"), "\n"),
                                   std::regex(R"(\\r)"), "\r"));
        } else if (command == "describe") {
            Say("Input #0, avi, from '" + script + "':\n  Duration: 00:00:50.00, start: 0.000000, "
                "bitrate: 900 kb/s\n  Stream #0:0: Video: h264 (High), yuv420p, 640x480, 25 fps\n"
                "  Stream #0:1: Audio: aac (LC), 44100 Hz, stereo, fltp (default)\n"
                "Stream mapping:\n");
        } else if (command == "target") {
            std::ofstream(PathOf(target), std::ios::binary) << std::string(n, 'M');
        } else if (command == "frame") {
            unsigned r = 0, g = 0, b = 0;
            std::sscanf(rest.c_str(), "%u %u %u", &r, &g, &b);
            const auto& player = vantrel::kPlayerFormat;
            std::string pixels;
            for (int i = 0; i < player.width * player.height; ++i) {
                pixels += {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
            }
            std::ofstream(PathOf(target), std::ios::binary) << pixels;
        } else if (command == "args") {
            std::ofstream out(PathOf(script + (preview ? ".preview.args" : ".args")), std::ios::binary);
            for (size_t i = 1; i < arguments.size(); ++i) out << arguments[i] << '\n';
        } else if (command == "talk" || command == "flood") {
            // At 5 s of the source; a flood goes in 16 KiB writes. (Wine
            // hands a pipe write to its server in one message, and one of
            // 64 KiB can overflow that channel and kill the writer.)
            std::string block = "frame= 125 fps=25 size= 1kB time=00:00:05.00 bitrate=1.0kbits/s\r";
            while (command == "flood" && block.size() < 16384) block += block;
            for (size_t done = 0; command == "talk" || done < n << 20; done += block.size()) {
                Say(block);
                if (command == "talk") std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        } else if (command == "garbage") {
            std::string bytes(n, '\0');
            for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 11);
            Say(bytes);
        } else if (command == "hang") {
            Hang();
        } else if (command == "grandchild") {
            LeaveGrandchild();
#ifndef _WIN32
        } else if (command == "ignore-term") {
            ::signal(SIGTERM, SIG_IGN);
#endif
        } else if (command == "probe-exit" && target.empty()) {
            Say(": No such file or directory\n");
            return 1;
        } else if (command == "crash") {
            Crash();
        } else if (command == "exit") {
            return static_cast<int>(n);
        }
    }
    return 0;
}
