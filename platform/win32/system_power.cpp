#include "platform/system_power.h"

#include <windows.h>
// After windows.h, which they need.
#include <powrprof.h>
#include <reason.h>

#include <vector>

#include "platform/system_error_text.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

class TokenHandle {
public:
    explicit TokenHandle(DWORD access) {
        if (!::OpenProcessToken(::GetCurrentProcess(), access, &handle_)) handle_ = nullptr;
    }
    ~TokenHandle() {
        if (handle_ != nullptr) ::CloseHandle(handle_);
    }
    TokenHandle(const TokenHandle&) = delete;
    TokenHandle& operator=(const TokenHandle&) = delete;

    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

// Whether the process's token holds the shut-down privilege, enabled or not:
// an account without it at all (a standard user on a server edition, by its
// default policy) cannot be given it by this program.
bool TokenHasShutdownPrivilege() {
    TokenHandle token(TOKEN_QUERY);
    if (token.get() == nullptr) return false;
    LUID shutdown{};
    if (!::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown)) return false;
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    if (size == 0) return false;
    // DWORD-sized elements keep the list's own alignment.
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    if (!::GetTokenInformation(token.get(), TokenPrivileges, buffer.data(),
                               static_cast<DWORD>(buffer.size() * sizeof(DWORD)), &size))
        return false;
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID& held = privileges->Privileges[i].Luid;
        if (held.LowPart == shutdown.LowPart && held.HighPart == shutdown.HighPart) return true;
    }
    return false;
}

// A process holds the shut-down privilege disabled until it asks for it.
Expected<void> EnableShutdownPrivilege() {
    TokenHandle token(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
    if (token.get() == nullptr) return Fail(SystemErrorText(static_cast<int>(::GetLastError())));
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &wanted.Privileges[0].Luid))
        return Fail(SystemErrorText(static_cast<int>(::GetLastError())));
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &wanted, 0, nullptr, nullptr))
        return Fail(SystemErrorText(static_cast<int>(::GetLastError())));
    // It succeeds even when the token lacks the privilege, and says so only
    // here (ERROR_NOT_ALL_ASSIGNED).
    const DWORD adjusted = ::GetLastError();
    if (adjusted != ERROR_SUCCESS) return Fail(SystemErrorText(static_cast<int>(adjusted)));
    return {};
}

class WindowsPower final : public SystemPower {
public:
    PowerPermission Permission(PowerAction action) override {
        if (action == PowerAction::kSleep) {
            if (::IsPwrSuspendAllowed()) return {true, {}};
            return {false, Tr("This computer cannot sleep")};
        }
        if (TokenHasShutdownPrivilege()) return {true, {}};
        return {false, Tr("The system does not allow this user to shut down the computer")};
    }

    Expected<void> Request(PowerAction action) override {
        if (action == PowerAction::kSleep) {
            // Sleep, not hibernate.
            if (!::SetSuspendState(FALSE, FALSE, FALSE))
                return Fail(SystemErrorText(static_cast<int>(::GetLastError())));
            return {};
        }
        if (auto enabled = EnableShutdownPrivilege(); !enabled) return enabled;
        // Not forced: other programs get the chance to save their work, or
        // to hold the shut-down up and say why.
        const DWORD failed = ::InitiateShutdownW(
            nullptr, nullptr, 0, SHUTDOWN_POWEROFF,
            SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
        // It gives its error back rather than setting the last error.
        if (failed != ERROR_SUCCESS) return Fail(SystemErrorText(static_cast<int>(failed)));
        return {};
    }
};

}  // namespace

std::unique_ptr<SystemPower> MakeSystemPower() { return std::make_unique<WindowsPower>(); }

}  // namespace vantrel
