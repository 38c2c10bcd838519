#include "platform/child_process.h"
#include "platform/system_error_text.h"

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "platform/win32/command_line_quoting.h"
#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

// A child we end reports what a SIGKILLed one reports on Linux (128 + 9), so
// the layers above read the same code on both systems.
constexpr UINT kKilledExitCode = 128 + 9;

// The reader stops reading while this much is waiting to be taken, so a slow
// taker holds the encoder back instead of filling our memory.
constexpr size_t kMaxBuffered = 64 * 1024;

void CloseIfOpen(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    handle = nullptr;
}

}  // namespace

struct ChildProcess::State {
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    HANDLE input = nullptr;   // our end of the child's standard input
    HANDLE output = nullptr;  // our end of its standard output and error
    DWORD pid = 0;
    bool reaped = false;
    int exitCode = -1;

    // Anonymous pipes cannot be waited on, so a thread of ours reads the
    // output into `buffered` and sets `readable` while there is something to
    // take: bytes, the end, or a failed read.
    HANDLE reader = nullptr;
    HANDLE readable = nullptr;
    std::mutex lock;
    std::condition_variable changed;
    std::string buffered;
    bool ended = false;
    bool readFailed = false;
    bool closing = false;

    bool signalled = false;  // what `readable` is set to

    // Under `lock`. The event is touched only when it changes: every call is
    // a trip to the system, and a run's output comes in small reads.
    void UpdateReadable() {
        const bool now = !buffered.empty() || ended || readFailed;
        if (now == signalled) return;
        signalled = now;
        if (now) {
            ::SetEvent(readable);
        } else {
            ::ResetEvent(readable);
        }
    }

    static DWORD WINAPI ReadLoop(void* self) {
        static_cast<State*>(self)->Read();
        return 0;
    }

    void Read() {
        char chunk[16 * 1024];
        for (;;) {
            {
                std::unique_lock<std::mutex> held(lock);
                changed.wait(held, [&] { return closing || buffered.size() < kMaxBuffered; });
                if (closing) return;
            }
            DWORD n = 0;
            const BOOL ok = ::ReadFile(output, chunk, sizeof chunk, &n, nullptr);
            const DWORD error = ok ? 0 : ::GetLastError();
            std::lock_guard<std::mutex> held(lock);
            // A successful read of nothing is someone's empty write, not the end.
            if (ok) {
                buffered.append(chunk, n);
            } else if (error == ERROR_BROKEN_PIPE) {
                ended = true;  // every write end is closed: the child and its own are gone
            } else {
                readFailed = true;
            }
            changed.notify_all();
            UpdateReadable();
            if (ended || readFailed) return;
        }
    }
};

ChildProcess::ChildProcess() : state_(std::make_unique<State>()) {}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : state_(std::exchange(other.state_, std::make_unique<State>())) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Release();
        std::swap(state_, other.state_);
    }
    return *this;
}

ChildProcess::~ChildProcess() { Release(); }

void ChildProcess::Release() {
    State& s = *state_;
    if (s.process != nullptr && !s.reaped) {
        Kill();
        Reap();
    }
    // Closing the job ends anything the child started that is still there,
    // and with it the last write ends of the output pipe, so the reader's
    // ReadFile returns.
    CloseIfOpen(s.job);
    CloseIfOpen(s.input);
    if (s.reader != nullptr) {
        {
            std::lock_guard<std::mutex> held(s.lock);
            s.closing = true;
        }
        s.changed.notify_all();
        // Should a write end live on outside the job all the same, the read
        // is cancelled; the loop covers a reader that had not yet begun it.
        while (::WaitForSingleObject(s.reader, 100) == WAIT_TIMEOUT) {
            ::CancelSynchronousIo(s.reader);
        }
        CloseIfOpen(s.reader);
    }
    CloseIfOpen(s.output);
    CloseIfOpen(s.readable);
    CloseIfOpen(s.process);
    s.pid = 0;
    s.reaped = false;
    s.exitCode = -1;
    s.buffered.clear();
    s.ended = s.readFailed = s.closing = s.signalled = false;
}

bool ChildProcess::started() const { return state_->process != nullptr; }
int64_t ChildProcess::id() const { return state_->process != nullptr ? state_->pid : -1; }
bool ChildProcess::reaped() const { return state_->reaped; }
bool ChildProcess::CanWatchExit() const { return state_->process != nullptr && !state_->reaped; }

ChildProcess::StartResult ChildProcess::Start(const std::vector<std::string>& argv) {
    Release();
    State& s = *state_;
    if (argv.empty()) return Fail(SystemErrorText(ERROR_INVALID_PARAMETER));

    // The child's ends are inheritable; ours are not. Only the child's two
    // are handed over, through the handle list below.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childOutput = nullptr;
    HANDLE childInput = nullptr;
    const auto fail = [&](DWORD error) -> StartResult {
        CloseIfOpen(childOutput);
        CloseIfOpen(childInput);
        Release();
        return Fail(SystemErrorText(static_cast<int>(error)));
    };
    if (!::CreatePipe(&s.output, &childOutput, &inheritable, 0) ||
        !::SetHandleInformation(s.output, HANDLE_FLAG_INHERIT, 0) ||
        !::CreatePipe(&childInput, &s.input, &inheritable, 0) ||
        !::SetHandleInformation(s.input, HANDLE_FLAG_INHERIT, 0)) {
        return fail(::GetLastError());
    }

    s.job = ::CreateJobObjectW(nullptr, nullptr);
    if (s.job == nullptr) return fail(::GetLastError());
    // The job dies with its last handle, which only this program holds: the
    // encoder and whatever it starts end with us, however we end.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(s.job, JobObjectExtendedLimitInformation, &limits,
                                   sizeof limits)) {
        return fail(::GetLastError());
    }

    // vantrel-convert starts several encoders at once: a child that inherited
    // another run's pipe end would keep that run's output open.
    HANDLE inherited[] = {childOutput, childInput};
    SIZE_T attributeSize = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &attributeSize);
    std::string attributeBuffer(attributeSize, '\0');
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBuffer.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &attributeSize)) {
        return fail(::GetLastError());
    }
    const bool listed =
        ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                    sizeof inherited, nullptr, nullptr) != 0;
    const DWORD listError = ::GetLastError();

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = childInput;
    startup.StartupInfo.hStdOutput = childOutput;
    startup.StartupInfo.hStdError = childOutput;
    startup.lpAttributeList = attributes;

    const std::wstring application = ToWide(argv[0]);
    std::wstring commandLine = ToWide(QuoteCommandLine(argv));
    PROCESS_INFORMATION info{};
    // Suspended until it is in the job, so nothing it starts escapes it.
    const bool created =
        listed && ::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW | CREATE_SUSPENDED |
                                       EXTENDED_STARTUPINFO_PRESENT | CREATE_UNICODE_ENVIRONMENT,
                                   nullptr, nullptr, &startup.StartupInfo, &info) != 0;
    const DWORD createError = listed ? ::GetLastError() : listError;
    ::DeleteProcThreadAttributeList(attributes);
    // Our copies of the child's ends go at once, so the output breaks as soon
    // as the child and its own have gone.
    CloseIfOpen(childOutput);
    CloseIfOpen(childInput);
    if (!created) return fail(createError);

    s.process = info.hProcess;
    s.pid = info.dwProcessId;
    if (!::AssignProcessToJobObject(s.job, info.hProcess)) {
        const DWORD error = ::GetLastError();
        ::TerminateProcess(info.hProcess, kKilledExitCode);
        ::WaitForSingleObject(info.hProcess, INFINITE);
        ::CloseHandle(info.hThread);
        return fail(error);
    }
    s.readable = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    s.reader = s.readable != nullptr ? ::CreateThread(nullptr, 0, &State::ReadLoop, &s, 0, nullptr)
                                     : nullptr;
    const DWORD readerError = ::GetLastError();
    if (s.reader == nullptr || ::ResumeThread(info.hThread) == static_cast<DWORD>(-1)) {
        const DWORD error = s.reader == nullptr ? readerError : ::GetLastError();
        ::CloseHandle(info.hThread);
        return fail(error);
    }
    ::CloseHandle(info.hThread);
    return {};
}

ChildProcess::Wake ChildProcess::Wait(const StopSignal* stop, bool watchExit, int timeoutMs) {
    State& s = *state_;
    {
        // Bytes already taken in need no wait; the caller checks the stop
        // signal after every read all the same.
        std::lock_guard<std::mutex> held(s.lock);
        if (s.reader != nullptr && !s.buffered.empty()) {
            Wake ready;
            ready.output = true;
            return ready;
        }
    }
    HANDLE handles[3];
    DWORD count = 0;
    const auto add = [&](bool wanted, HANDLE handle) -> int {
        if (!wanted) return -1;
        handles[count] = handle;
        return static_cast<int>(count++);
    };
    const int outputIndex = add(s.readable != nullptr, s.readable);
    const int stopIndex = add(stop != nullptr && stop->usable(),
                              reinterpret_cast<HANDLE>(stop ? stop->waitable() : 0));
    const int exitIndex = add(watchExit && CanWatchExit(), s.process);

    Wake wake;
    if (count == 0) {
        if (timeoutMs < 0) {
            wake.failed = true;  // nothing could ever end such a wait
        } else {
            ::Sleep(static_cast<DWORD>(timeoutMs));
        }
        return wake;
    }
    const DWORD timeout = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
    const DWORD result = ::WaitForMultipleObjects(count, handles, FALSE, timeout);
    if (result == WAIT_FAILED) {
        wake.failed = true;
        return wake;
    }
    if (result == WAIT_TIMEOUT) return wake;
    // The wait names only the first one ready; look at each.
    const auto ready = [&](int index) {
        return index >= 0 && ::WaitForSingleObject(handles[index], 0) == WAIT_OBJECT_0;
    };
    wake.output = ready(outputIndex);
    wake.stop = ready(stopIndex);
    wake.exited = ready(exitIndex);
    return wake;
}

long ChildProcess::ReadOutput(char* buffer, size_t size) {
    State& s = *state_;
    if (s.reader == nullptr) return -1;
    std::unique_lock<std::mutex> held(s.lock);
    s.changed.wait(held, [&] { return !s.buffered.empty() || s.ended || s.readFailed; });
    if (s.buffered.empty()) return s.readFailed ? -1 : 0;
    const size_t n = std::min({size, s.buffered.size(), static_cast<size_t>(LONG_MAX)});
    s.buffered.copy(buffer, n);
    s.buffered.erase(0, n);
    s.UpdateReadable();
    s.changed.notify_all();
    return static_cast<long>(n);
}

bool ChildProcess::WriteInput(const char* data, size_t size) {
    State& s = *state_;
    while (size > 0) {
        if (s.input == nullptr) return false;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1 << 20));
        DWORD written = 0;
        // ERROR_NO_DATA: the child has closed its end or has gone.
        if (!::WriteFile(s.input, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

void ChildProcess::Kill() {
    // The job holds only our child and its own, so this is safe even after a
    // reap: no other program can be hit.
    if (state_->job != nullptr) ::TerminateJobObject(state_->job, kKilledExitCode);
}

int ChildProcess::Reap() {
    State& s = *state_;
    if (s.process == nullptr) return -1;
    if (s.reaped) return s.exitCode;
    DWORD code = 0;
    const bool known = ::WaitForSingleObject(s.process, INFINITE) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(s.process, &code);
    s.reaped = true;
    // Codes above INT_MAX (crashes, 0xC0000005 and the like) come out
    // negative, which still reads as a failure.
    s.exitCode = known ? static_cast<int>(code) : -1;
    return s.exitCode;
}

void ChildProcess::CloseInput() { CloseIfOpen(state_->input); }

}  // namespace vantrel
