#include "test_support.h"

#include <dirent.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantrel::testing {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/vantrel-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) std::abort();
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Restore permissions a test may have taken away, so removal works.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool FileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::vector<int> ProcessesMentioning(const std::string& token) {
    std::vector<int> found;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return found;
    while (dirent* entry = ::readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0 || pid == ::getpid()) continue;
        std::string cmdline = ReadFile("/proc/" + std::string(entry->d_name) + "/cmdline");
        if (cmdline.find(token) != std::string::npos) found.push_back(pid);
    }
    ::closedir(proc);
    return found;
}

int ZombieChildren() {
    int zombies = 0;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return 0;
    const std::string self = std::to_string(::getpid());
    while (dirent* entry = ::readdir(proc)) {
        if (std::atoi(entry->d_name) <= 0) continue;
        const std::string stat = ReadFile("/proc/" + std::string(entry->d_name) + "/stat");
        // pid (comm) state ppid ...; comm may hold blanks, so read after ')'.
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(stat.substr(close + 2));
        std::string state, parent;
        fields >> state >> parent;
        if (state == "Z" && parent == self) ++zombies;
    }
    ::closedir(proc);
    return zombies;
}

int OpenFileDescriptors() {
    int count = 0;
    DIR* fds = ::opendir("/proc/self/fd");
    if (fds == nullptr) return -1;
    while (dirent* entry = ::readdir(fds)) {
        if (entry->d_name[0] != '.') ++count;
    }
    ::closedir(fds);
    return count;
}

void DropFilePermissionOverrides() {
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        ::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        const uint32_t bit = 1u << (cap % 32);
        data[cap / 32].effective &= ~bit;
        data[cap / 32].permitted &= ~bit;
        data[cap / 32].inheritable &= ~bit;
    }
    ::syscall(SYS_capset, &header, data);
}

std::string Capture(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

std::string ShellQuoted(const std::string& path) {
    std::string quoted = "'";
    for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool MakeClip(const std::string& path, int seconds) {
    const std::string quoted = ShellQuoted(path);
    const std::string command =
        "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=640x480:rate=25 "
        "-f lavfi -i sine=frequency=440:sample_rate=44100 -t " +
        std::to_string(seconds) +
        " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest -f mp4 file:" +
        quoted + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && FileExists(path);
}

std::string ProbeStreams(const std::string& path) {
    return Capture(
        "ffprobe -v error -show_entries stream=codec_name,width,height,r_frame_rate,sample_rate,"
        "channels:format=format_name -of compact file:" +
        ShellQuoted(path));
}

void RecordingObserver::SetPanelText(PanelField field, std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    panel_[field] = std::string(text);
    ++version_;
    changed_.notify_all();
}

void RecordingObserver::PostProgress(int32_t position) {
    std::lock_guard<std::mutex> lock(mutex_);
    posts_.push_back(position);
    ++version_;
    changed_.notify_all();
}

EncoderSetup TestEncoderSetup(std::string encoderPath,
                              std::shared_ptr<const FreeSpaceSource> freeSpace) {
    EncoderSetup setup;
    setup.encoderPath = std::move(encoderPath);
    setup.consoleInputFd = -1;
    if (freeSpace) setup.freeSpace = std::move(freeSpace);
    return setup;
}

long PeakResidentKiB() {
    const std::string status = ReadFile("/proc/self/status");
    const size_t at = status.find("VmHWM:");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 6);
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

::testing::AssertionResult IsHandheldMovie(const std::string& path) {
    const std::string streams = ProbeStreams(path);
    for (const char* wanted : {"codec_name=mpeg1video|width=256|height=192|r_frame_rate=12/1",
                               "codec_name=mp2|sample_rate=22050|channels=1",
                               "format_name=mpeg"}) {
        if (streams.find(wanted) == std::string::npos) {
            return ::testing::AssertionFailure() << path << " lacks " << wanted << ":\n" << streams;
        }
    }
    return ::testing::AssertionSuccess();
}

bool WaitForCondition(std::mutex& mutex, std::condition_variable& changed,
                      const uint64_t& version, const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        uint64_t seen;
        {
            std::lock_guard<std::mutex> lock(mutex);
            seen = version;
        }
        if (condition()) return true;
        std::unique_lock<std::mutex> lock(mutex);
        if (!changed.wait_until(lock, deadline, [&] { return version != seen; })) {
            lock.unlock();
            return condition();
        }
    }
}

bool RecordingObserver::WaitUntil(const std::function<bool()>& condition) {
    return WaitForCondition(mutex_, changed_, version_, condition);
}

std::string RecordingObserver::Text(PanelField field) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = panel_.find(field);
    return it == panel_.end() ? "" : it->second;
}

std::vector<int32_t> RecordingObserver::Posts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_;
}

}  // namespace vantrel::testing
