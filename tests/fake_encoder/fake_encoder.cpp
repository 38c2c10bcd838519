// A stand-in for ffmpeg that does what a script tells it, for the faults the
// real encoder cannot produce on demand. The script is the file given to -i;
// one command per line:
//   say TEXT       write TEXT to the output (\r and \n escapes)
//   target N       write N bytes to the target (the last argument)
//   args           write the arguments, one per line, to SCRIPT.args
//   talk           name a 50 s duration, then print a progress line every 2 ms, for ever
//   flood MB       print MB megabytes of progress lines as fast as possible
//   garbage N      print N pseudo-random bytes, NULs included
//   hang           print nothing and never exit
//   ignore-term    ignore SIGTERM
//   grandchild     leave a child behind that holds the output
//   probe-exit     exit 1 here when there is no target (a probe), as ffmpeg does
//   crash          die from SIGSEGV
//   exit N         exit with status N
// Standard output and error go to the same pipe, so everything goes to the first.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <string>

namespace {

void Say(const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(1, text.data() + done, text.size() - done);
        if (n <= 0) std::exit(141);  // the reader has gone: end as SIGPIPE would
        done += static_cast<size_t>(n);
    }
}

std::string WithoutScheme(const std::string& path) {
    return path.rfind("file:", 0) == 0 ? path.substr(5) : path;
}

}  // namespace

int main(int argc, char** argv) {
    std::string script;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-i") == 0) script = WithoutScheme(argv[i + 1]);
    }
    const std::string target = WithoutScheme(argc > 1 ? argv[argc - 1] : "");
    std::ifstream in(script);
    if (!in) {
        Say(script + ": No such file or directory\n");
        return 1;
    }
    for (std::string line; std::getline(in, line);) {
        const std::string command = line.substr(0, line.find(' '));
        const std::string rest = line.substr(std::min(line.size(), command.size() + 1));
        const size_t n = std::strtoul(rest.c_str(), nullptr, 10);
        if (command == "say") {
            Say(std::regex_replace(std::regex_replace(rest, std::regex(R"(\\n)"), "\n"),
                                   std::regex(R"(\\r)"), "\r"));
        } else if (command == "target") {
            std::ofstream(target, std::ios::binary) << std::string(n, 'M');
        } else if (command == "args") {
            std::ofstream out(script + ".args");
            for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
        } else if (command == "talk" || command == "flood") {
            // At 5 s of the source; a flood goes in 64 KiB writes.
            if (command == "talk") Say("  Duration: 00:00:50.00, start: 0.0, bitrate: 900 kb/s\n");
            std::string block = "frame= 125 fps=25 size= 1kB time=00:00:05.00 bitrate=1.0kbits/s\r";
            while (command == "flood" && block.size() < 65536) block += block;
            for (size_t done = 0; command == "talk" || done < n << 20; done += block.size()) {
                Say(block);
                if (command == "talk") ::usleep(2000);
            }
        } else if (command == "garbage") {
            std::string bytes(n, '\0');
            for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 11);
            Say(bytes);
        } else if (command == "hang" || (command == "grandchild" && ::fork() == 0)) {
            for (;;) ::pause();
        } else if (command == "ignore-term") {
            ::signal(SIGTERM, SIG_IGN);
        } else if (command == "probe-exit" && target.empty()) {
            Say(": No such file or directory\n");
            return 1;
        } else if (command == "crash") {
            ::signal(SIGSEGV, SIG_DFL);  // not the sanitizers' report and exit
            ::raise(SIGSEGV);
        } else if (command == "exit") {
            return static_cast<int>(n);
        }
    }
    return 0;
}
