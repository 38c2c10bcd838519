// A stand-in for ffmpeg that does what a script tells it, for the faults the
// real encoder cannot produce on demand. The script is the file given to -i;
// one command per line:
//   say TEXT       write TEXT to standard output (\r \n \0 \\ escapes)
//   err TEXT       the same on standard error
//   target N       write N bytes to the target (the last argument)
//   args           write the arguments, one per line, to SCRIPT.args
//   talk           print progress lines for ever
//   hang           print nothing and never exit
//   flood MB       print MB megabytes of progress lines as fast as possible
//   garbage N      print N pseudo-random bytes, NULs included
//   ignore-term    ignore SIGTERM
//   grandchild     leave a child behind that holds standard output
//   echo-line      copy one line of standard input to standard output
//   probe-exit     exit 1 here when there is no target (a probe), as ffmpeg does
//   crash          die from SIGSEGV
//   exit N         exit with status N
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string StripFileScheme(const std::string& path) {
    return path.rfind("file:", 0) == 0 ? path.substr(5) : path;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == '0' ? '\0' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

void WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) std::exit(141);
        done += static_cast<size_t>(n);
    }
}

[[noreturn]] void SleepForever() {
    for (;;) ::pause();
}

}  // namespace

int main(int argc, char** argv) {
    std::string script, target;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-i") == 0 && i + 1 < argc) script = StripFileScheme(argv[i + 1]);
    }
    if (argc > 1) target = StripFileScheme(argv[argc - 1]);
    std::ifstream in(script);
    if (!in) {
        WriteAll(2, script + ": No such file or directory\n");
        return 1;
    }
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        const std::string command = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (command == "say") {
            WriteAll(1, Unescape(rest));
        } else if (command == "err") {
            WriteAll(2, Unescape(rest));
        } else if (command == "target") {
            std::ofstream out(target, std::ios::binary | std::ios::trunc);
            out << std::string(std::strtoul(rest.c_str(), nullptr, 10), 'M');
        } else if (command == "args") {
            std::ofstream out(script + ".args");
            for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
        } else if (command == "talk") {
            for (int s = 1;; s = s % 50 + 1) {
                char text[96];
                std::snprintf(text, sizeof text, "frame=%5d fps=25 time=00:00:%02d.00 bitrate=1\r",
                              s * 25, s);
                WriteAll(1, text);
                ::usleep(2000);
            }
        } else if (command == "hang") {
            SleepForever();
        } else if (command == "flood") {
            const std::string progress = "frame=  250 fps=99 q=2.0 size= 1kB time=00:00:05.00 "
                                         "bitrate=1.0kbits/s speed=9x    \r";
            std::string block;
            while (block.size() < 65536) block += progress;
            const size_t total = std::strtoul(rest.c_str(), nullptr, 10) << 20;
            for (size_t done = 0; done < total; done += block.size()) WriteAll(1, block);
        } else if (command == "garbage") {
            std::string bytes(std::strtoul(rest.c_str(), nullptr, 10), '\0');
            unsigned x = 12345;
            for (char& c : bytes) {
                x = x * 1103515245u + 12345u;
                c = static_cast<char>(x >> 16);
            }
            WriteAll(1, bytes);
        } else if (command == "ignore-term") {
            ::signal(SIGTERM, SIG_IGN);
        } else if (command == "grandchild") {
            if (::fork() == 0) SleepForever();
        } else if (command == "echo-line") {
            std::string got;
            char c;
            while (::read(0, &c, 1) == 1 && c != '\n') got += c;
            WriteAll(1, got + "\n");
        } else if (command == "probe-exit") {
            if (target.empty()) {
                WriteAll(2, ": No such file or directory\n");
                return 1;
            }
        } else if (command == "crash") {
            ::signal(SIGSEGV, SIG_DFL);
            ::raise(SIGSEGV);
        } else if (command == "exit") {
            return std::atoi(rest.c_str());
        }
    }
    return 0;
}
