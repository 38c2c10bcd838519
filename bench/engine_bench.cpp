// Measurements run_bench.sh cannot take from the shell: the engine's probe and
// STOP timed from inside, and another program's own CPU time and peak memory
// kept apart from those of the encoder it starts.
//
//   engine_bench words SOURCE TARGET      the encoder's words, one per line
//   engine_bench watch COMMAND...         run COMMAND quietly; one line of figures
//   engine_bench probe SOURCE PAIRS       the probe against "ffmpeg -i SOURCE"
//   engine_bench convert SOURCE PAIRS     a conversion against ffmpeg run directly
//   engine_bench stop SOURCE STOPS        STOP latency at random points
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/child_process.h"
#include "conversion/encoder_arguments.h"
#include "conversion/converter.h"
#include "conversion/encoder_location.h"

namespace {

vantrel::ConversionRequest Whole(const std::string& source, const std::string& target) {
    vantrel::ConversionRequest request;
    request.sourcePath = source;
    request.targetPath = target;
    // The loudness is left as it is: measuring it is a run of its own, which
    // ffmpeg run directly with the conversion's words does not make.
    request.normalizeLoudness = false;
    return request;
}

using Clock = std::chrono::steady_clock;
using vantrel::Converter;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

class QuietObserver : public vantrel::EncoderReportSink {
public:
    void SourceDescribed(const vantrel::SourceDescription&) override {}
    void Progressed(const vantrel::ProgressReport&) override {}
};

vantrel::EncoderSetup Setup() {
    vantrel::EncoderSetup setup;
    setup.encoderPath = vantrel::LocateEncoder();
    setup.consoleInputFd = -1;
    return setup;
}

// The very words a conversion of the source as a probe describes it gives
// ffmpeg, its filter chains and its choices for the kind of source included
// (the loudness left as it is), so that ffmpeg run directly does the same work.
std::vector<std::string> EncoderWords(const std::string& source, const std::string& target) {
    vantrel::Converter converter(Setup());
    const auto probe = converter.Probe(source, nullptr);
    const vantrel::SourceDescription described = probe ? *probe : vantrel::AssumedSource();
    return vantrel::ConversionArguments(vantrel::kPlayerFormat, Whole(source, target), described,
                                        0, nullptr, {}, target)
        .Words();
}

struct Usage {
    double wallSeconds = 0.0;
    double selfCpuSeconds = 0.0;      // the program itself
    double childrenCpuSeconds = 0.0;  // what it started and reaped
    long peakRssKb = 0;               // the program itself
    int exitCode = -1;
};

long ReadPeakRssKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

// Runs argv with all three standard streams on /dev/null. Its own peak memory
// is sampled while it runs; its own CPU time and its children's are read from
// the zombie, before it is reaped, where they are final and still apart.
Usage Watch(const std::vector<std::string>& words) {
    std::vector<std::string> copy = words;
    std::vector<char*> argv;
    for (std::string& w : copy) argv.push_back(w.data());
    argv.push_back(nullptr);

    Usage usage;
    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd = 0; fd < 3; ++fd) ::dup2(null, fd);
        ::execvp(argv[0], argv.data());
        _exit(127);
    }
    const int exitFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    for (;;) {
        usage.peakRssKb = std::max(usage.peakRssKb, ReadPeakRssKb(pid));
        pollfd p{exitFd, POLLIN, 0};
        if (exitFd >= 0 ? ::poll(&p, 1, 5) > 0 : (::usleep(5000), false)) break;
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | WNOHANG) == 0 &&
            info.si_pid == pid) {
            break;
        }
    }
    usage.wallSeconds = SecondsSince(start);

    std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::vector<std::string> field;
    for (std::string f; fields >> f;) field.push_back(f);
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    if (field.size() > 14) {
        // From field 3 on: utime is field 14, stime 15, cutime 16, cstime 17.
        usage.selfCpuSeconds = (std::stod(field[11]) + std::stod(field[12])) / tick;
        usage.childrenCpuSeconds = (std::stod(field[13]) + std::stod(field[14])) / tick;
    }
    // Clock ticks are too coarse for a program that is idle most of the time;
    // the scheduler's count of its main thread is in nanoseconds, and the
    // programs watched here are single-threaded or care only about the total
    // that ticks give.
    std::ifstream schedFile("/proc/" + std::to_string(pid) + "/schedstat");
    double onCpuNs = 0.0;
    if (schedFile >> onCpuNs) usage.selfCpuSeconds = std::max(usage.selfCpuSeconds, onCpuNs / 1e9);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (exitFd >= 0) ::close(exitFd);
    usage.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return usage;
}

double TimeProbe(const std::string& source) {
    const Clock::time_point start = Clock::now();
    Converter converter(Setup());
    const auto probe = converter.Probe(source, nullptr);
    const double seconds = SecondsSince(start);
    if (!probe) std::fprintf(stderr, "probe failed: %s\n", probe.reason().reason.c_str());
    return seconds;
}

// "ffmpeg -i SOURCE" with its output read through a pipe, as the engine reads it.
double TimeFfmpegInfo(const std::string& source) {
    const Clock::time_point start = Clock::now();
    vantrel::ChildProcess child;
    if (!child.Start({vantrel::LocateEncoder(), "-i", "file:" + source}).has_value()) return 0.0;
    child.CloseInput();
    char buffer[4096];
    while (child.ReadOutput(buffer, sizeof buffer) > 0) {
    }
    child.Reap();
    return SecondsSince(start);
}

double TimeConversion(const std::string& source, const std::string& target) {
    QuietObserver observer;
    Converter converter(Setup());
    const Clock::time_point start = Clock::now();
    if (converter.Convert(Whole(source, target), nullptr, nullptr, observer).outcome !=
        vantrel::ConversionOutcome::kConverted) {
        std::fprintf(stderr, "conversion failed\n");
    }
    return SecondsSince(start);
}

double TimeDirect(const std::string& source, const std::string& target) {
    std::vector<std::string> argv{vantrel::LocateEncoder()};
    for (const std::string& w : EncoderWords(source, target)) argv.push_back(w);
    return Watch(argv).wallSeconds;
}

// Runs `a` and `b` in alternating order, `pairs` times; prints each pair and
// the median of a/b.
template <class A, class B>
int Paired(const char* name, int pairs, A a, B b) {
    std::vector<double> ratios, as, bs;
    for (int i = 0; i < pairs; ++i) {
        double ta, tb;
        if (i % 2 == 0) {
            ta = a();
            tb = b();
        } else {
            tb = b();
            ta = a();
        }
        ratios.push_back(ta / tb);
        as.push_back(ta);
        bs.push_back(tb);
        std::printf("pair %d: %s %.4f s, direct %.4f s, ratio %.4f\n", i + 1, name, ta, tb, ta / tb);
    }
    std::printf("median_ms=%.2f median_direct_ms=%.2f median_ratio=%.4f\n", Median(as) * 1000.0,
                Median(bs) * 1000.0, Median(ratios));
    return 0;
}

int Stops(const std::string& source, const std::string& folder, int stops) {
    const std::string target = folder + "/stopped.d3v";
    const double full = TimeConversion(source, target);
    std::remove(target.c_str());
    std::mt19937 random(std::random_device{}());
    std::uniform_real_distribution<double> point(0.05 * full, 0.8 * full);
    std::vector<double> latencies;
    int attempts = 0;
    while (static_cast<int>(latencies.size()) < stops && attempts++ < stops * 3) {
        QuietObserver observer;
        Converter converter(Setup());
        auto stop = std::make_shared<vantrel::StopSignal>();
        vantrel::ConversionOutcome outcome = vantrel::ConversionOutcome::kConverted;
        Clock::time_point returned;
        std::thread run([&] {
            outcome = converter.Convert(Whole(source, target), nullptr, stop.get(), observer).outcome;
            returned = Clock::now();
        });
        std::this_thread::sleep_for(std::chrono::duration<double>(point(random)));
        const Clock::time_point requested = Clock::now();
        stop->Signal();
        run.join();
        if (outcome != vantrel::ConversionOutcome::kStopped) {
            std::remove(target.c_str());
            continue;  // it had finished already; draw another point
        }
        const bool gone = ::access(target.c_str(), F_OK) != 0;
        const double ms = std::chrono::duration<double, std::milli>(returned - requested).count();
        std::printf("stop %zu: %.2f ms%s\n", latencies.size() + 1, ms, gone ? "" : " TARGET LEFT");
        if (!gone) return 1;
        latencies.push_back(ms);
    }
    const auto [low, high] = std::minmax_element(latencies.begin(), latencies.end());
    std::printf("stops=%zu median_ms=%.2f min_ms=%.2f max_ms=%.2f\n", latencies.size(),
                Median(latencies), latencies.empty() ? 0.0 : *low, latencies.empty() ? 0.0 : *high);
    return latencies.size() >= static_cast<size_t>(stops) ? 0 : 1;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "words") {
        for (const std::string& w : EncoderWords(args[1], args[2])) std::printf("%s\n", w.c_str());
        return 0;
    }
    if (args.size() >= 2 && args[0] == "watch") {
        const Usage u = Watch(std::vector<std::string>(args.begin() + 1, args.end()));
        std::printf("wall_s=%.4f self_cpu_s=%.4f children_cpu_s=%.2f peak_rss_kb=%ld exit=%d\n",
                    u.wallSeconds, u.selfCpuSeconds, u.childrenCpuSeconds, u.peakRssKb, u.exitCode);
        return 0;
    }
    if (args.size() == 3) {
        const std::string& source = args[1];
        const int count = std::max(1, std::atoi(args[2].c_str()));
        const std::string target = FolderOf(source) + "/engine-bench.d3v";
        if (args[0] == "probe") {
            return Paired("probe", count, [&] { return TimeProbe(source); },
                          [&] { return TimeFfmpegInfo(source); });
        }
        if (args[0] == "convert") {
            return Paired("engine", count, [&] { return TimeConversion(source, target); },
                          [&] { return TimeDirect(source, target); });
        }
        if (args[0] == "stop") return Stops(source, FolderOf(source), count);
    }
    std::fprintf(stderr, "usage: engine_bench words|watch|probe|convert|stop ...\n");
    return 2;
}
