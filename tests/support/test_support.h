// Helpers shared by the engine, command-line and window tests. Paths are
// UTF-8, as the program names them.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>
#else
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <condition_variable>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "conversion/converter.h"

namespace vantrel::testing {
namespace fs = std::filesystem;

inline fs::path PathOf(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }
inline std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// A fresh folder in the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        for (std::error_code failed; path_.empty();) {
            const fs::path path =
                fs::temp_directory_path() / ("vantrel-test-" + std::to_string(random()));
            if (fs::create_directory(path, failed)) path_ = Utf8(path);
            if (failed) std::abort();
        }
    }
    ~TempDir() { std::error_code ignored; fs::remove_all(PathOf(path_), ignored); }
    TempDir(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(PathOf(path), std::ios::binary) << content;
}
// What can be read; a file that vanishes meanwhile (a process's /proc entry)
// reads as what was read until then.
inline std::string ReadFile(const std::string& path) {
    std::ostringstream content;  // a failed read ends the copy, and throws nothing
    content << std::ifstream(PathOf(path), std::ios::binary).rdbuf();
    return content.str();
}
inline bool FileExists(const std::string& path) {
    std::error_code failed;
    return fs::exists(PathOf(path), failed);
}
inline std::string Repeat(const std::string& text, int times) {
    return times > 0 ? text + Repeat(text, times - 1) : "";
}

#ifdef _WIN32
// Another process's command line, read from its memory: the one query that
// answers it directly is not answered under wine.
inline std::string CommandLineOf(DWORD id) {
    std::wstring text;
    if (const HANDLE process =
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id)) {
        PROCESS_BASIC_INFORMATION basic{};
        PEB block{};
        RTL_USER_PROCESS_PARAMETERS parameters{};
        if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                      nullptr) == 0 &&
            ReadProcessMemory(process, basic.PebBaseAddress, &block, sizeof block, nullptr) &&
            ReadProcessMemory(process, block.ProcessParameters, &parameters, sizeof parameters,
                              nullptr)) {
            text.resize(parameters.CommandLine.Length / sizeof(wchar_t));
            ReadProcessMemory(process, parameters.CommandLine.Buffer, text.data(),
                              parameters.CommandLine.Length, nullptr);
        }
        CloseHandle(process);
    }
    return Utf8(text);
}
// Every process's id and command line.
inline std::vector<std::pair<int, std::string>> CommandLines() {
    std::vector<std::pair<int, std::string>> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        found.emplace_back(static_cast<int>(entry.th32ProcessID), CommandLineOf(entry.th32ProcessID));
    }
    CloseHandle(snapshot);
    return found;
}
// Windows keeps no ended child waiting for its parent; the platform's own
// tests count the handles that could outlive one.
inline int ZombieChildren() { return 0; }
inline long PeakResidentKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}
#else
// Every process's id and command line (its words joined by NULs).
inline std::vector<std::pair<int, std::string>> CommandLines() {
    std::vector<std::pair<int, std::string>> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const int pid = std::atoi(entry.path().filename().c_str());
        if (pid > 0) found.emplace_back(pid, ReadFile(entry.path() / "cmdline"));
    }
    return found;
}
// 1 when some child of this process has ended and was not reaped (WNOWAIT
// only looks), else 0.
inline int ZombieChildren() {
    siginfo_t ended{};
    return ::waitid(P_ALL, 0, &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid != 0;
}
inline int OpenFileDescriptors() {
    return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}
inline long PeakResidentKiB() {
    const std::string status = ReadFile("/proc/self/status");
    return std::atol(status.c_str() + status.find("VmHWM:") + 6);
}

// Makes file permissions bind this process and what it starts, even as root
// (CI runs as root): drops the capabilities that override them, for good.
inline void DropFilePermissionOverrides() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct sets[2] = {};
    ::syscall(SYS_capget, &header, sets);
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {  // all in the first set
        ::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);  // or ffmpeg, started as root, has them again
        for (uint32_t* set : {&sets[0].effective, &sets[0].permitted, &sets[0].inheritable})
            *set &= ~(1u << cap);
    }
    ::syscall(SYS_capset, &header, sets);
}

// A word the shell passes on as it is, whatever it holds.
inline std::string Quoted(const std::string& word) {
    return "'" + std::regex_replace(word, std::regex("'"), R"('\'')") + "'";
}
// A movie of `seconds` of 640x480 25 fps h264 with aac sound, made by the real ffmpeg.
inline bool MakeClip(const std::string& path, int seconds) {
    return std::system(("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=640x480:r=25 -f lavfi"
                        " -i sine -t " + std::to_string(seconds) + " -c:v libx264 -preset ultrafast"
                        " -pix_fmt yuv420p -c:a aac -f mp4 file:" + Quoted(path)).c_str()) == 0;
}
// What a shell command prints on its standard output.
inline std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    ::pclose(pipe);
    return text;
}
// The sound's main frequency in Hz, from its zero crossings.
inline double SoundFrequency(const std::string& movie) {
    const std::string pcm = Output("ffmpeg -nostdin -v error -i file:" + Quoted(movie) +
                                   " -map 0:a -f s16le -ac 1 -ar 22050 -");
    size_t crossings = 0;
    for (size_t i = 2; i + 1 < pcm.size(); i += 2) {
        const bool before = static_cast<signed char>(pcm[i - 1]) < 0;
        crossings += before != (static_cast<signed char>(pcm[i + 1]) < 0);
    }
    return static_cast<double>(crossings) / 2.0 / (static_cast<double>(pcm.size()) / 2.0 / 22050.0);
}

// When the sound first beeps, in the movie's seconds: the end of the first
// silence of at least `silence` seconds, once the low hum is filtered out;
// NaN when it never does.
inline double FirstBeep(const std::string& movie, double silence) {
    const std::string log = Output("ffmpeg -nostdin -hide_banner -i file:" + Quoted(movie) +
                                   " -vn -af highpass=f=800,highpass=f=800,silencedetect=n=-20dB:d=" +
                                   std::to_string(silence) + " -f null - 2>&1");
    const size_t at = log.find("silence_end: ");
    return at == std::string::npos ? NAN : std::atof(log.c_str() + at + 13);
}

// Whether ffprobe reads the file as the handheld's movie: 256x192 12 fps
// MPEG-1 video, mono 22050 Hz MP2 sound, in an MPEG program stream.
inline ::testing::AssertionResult IsHandheldMovie(const std::string& path) {
    const std::string found = Output("ffprobe -v error -of csv=p=0 -show_entries format=format_name:"
                                     "stream=codec_name,width,height,r_frame_rate,sample_rate,"
                                     "channels file:" + Quoted(path));
    return found == "mpeg1video,256,192,12/1\nmp2,22050,1,0/0\nmpeg\n"
               ? ::testing::AssertionSuccess()
               : ::testing::AssertionFailure() << path << " holds:\n" << found;
}

#endif

// Processes whose command line mentions `token` (a test's temp folder, say).
inline std::vector<int> ProcessesMentioning(const std::string& token) {
    std::vector<int> found;
    for (const auto& [pid, line] : CommandLines()) {
        if (line.find(token) != std::string::npos) found.push_back(pid);
    }
    return found;
}

// How the tests run an encoder: this program, no console input forwarded, and
// the given free-space source (the real one when null).
// A listener that wants none of a run's reports.
struct IgnoreReports : EncoderReportSink {
    void SourceDescribed(const SourceDescription&) override {}
    void Progressed(const ProgressReport&) override {}
};

// A conversion of `source` into `target` at the default quality, everything
// else as a user finds it at first.
inline ConversionRequest Request(std::string source, std::string target,
                                 PictureFit fit = kDefaultPictureFit) {
    ConversionRequest request;
    request.sourcePath = std::move(source);
    request.targetPath = std::move(target);
    request.fit = fit;
    return request;
}

inline EncoderSetup TestEncoderSetup(std::string encoderPath,
                                     std::shared_ptr<const FreeSpaceSource> space = nullptr) {
    return {std::move(encoderPath), space ? space : std::make_shared<FileSystemFreeSpace>(), -1};
}

// Waits until `condition` holds, testing it again whenever `version` (guarded
// by `mutex`, bumped with a notify on `changed`) moves, and every few
// milliseconds for what no notification tells (a file, a process). False if
// it has not held within a generous bound: a guard against a hang, not a timing.
inline bool WaitForCondition(std::mutex& mutex, std::condition_variable& changed,
                             const uint64_t& version, const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (std::unique_lock<std::mutex> lock(mutex);;) {
        const uint64_t seen = version;
        lock.unlock();  // the condition may take the lock itself
        if (condition()) return true;
        lock.lock();
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        changed.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(10)),
                           [&] { return version != seen; });
    }
}

}  // namespace vantrel::testing
