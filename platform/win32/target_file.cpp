#include "platform/target_file.h"

#include <windows.h>

#include <atomic>

#include "platform/system_error_text.h"
#include "platform/translation.h"
#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

// Closes the handle when it goes out of scope.
class FileHandle {
public:
    FileHandle(const std::string& path, DWORD access, DWORD flags)
        : handle_(path.empty()
                      ? INVALID_HANDLE_VALUE
                      : ::CreateFileW(ToWindowsPath(path).c_str(), access,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, flags, nullptr)) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Describe(BY_HANDLE_FILE_INFORMATION& info) const {
        return handle_ != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle_, &info);
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

uint64_t Join(DWORD high, DWORD low) { return static_cast<uint64_t>(high) << 32 | low; }

bool IsRegularFile(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// `file`, and the system's reason it could not be put in place.
Unexpected<std::string> CannotPlace(const std::string& file, DWORD error) {
    // TRANSLATORS: {1} is a file's path, {2} the system's reason it cannot be written, such as "Access is denied".
    return Fail(Fill(Tr("{1}: {2}"), {file, SystemErrorText(static_cast<int>(error))}));
}

}  // namespace

uint64_t GetFileLength(const std::string& path) {
    const FileHandle file(path, FILE_READ_ATTRIBUTES, 0);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.Describe(info) || !IsRegularFile(info)) return 0;
    return Join(info.nFileSizeHigh, info.nFileSizeLow);
}

void RemoveRegularFile(const std::string& path) {
    // The link itself, never what it points to; and a folder only to see
    // that it is one.
    const FileHandle file(path, DELETE | FILE_READ_ATTRIBUTES,
                          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.Describe(info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    // Deleted through the handle just inspected, so a folder put there since
    // the check is never the one removed. It goes when the handle closes.
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
}

Expected<void> CheckWritableFolder(const std::string& folder) {
    // A name of this process's own, and of this call's, since several may ask at once.
    static std::atomic<unsigned> calls{0};
    const std::string probe = (folder.empty() ? std::string(".") : folder) +
                              "\\.vantrel-write-test-" + std::to_string(::GetCurrentProcessId()) +
                              "-" + std::to_string(calls++);
    const HANDLE file = ::CreateFileW(ToWindowsPath(probe).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                      nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Fail(SystemErrorText(static_cast<int>(::GetLastError())));
    }
    ::CloseHandle(file);
    return {};
}

Expected<void> MoveIntoPlace(const std::string& from, const std::string& to) {
    // The file's bytes reach the device before its name does, so that a
    // card pulled at once keeps it whole; the move then writes through.
    {
        const FileHandle file(from, GENERIC_WRITE, 0);
        if (file.get() != INVALID_HANDLE_VALUE && !::FlushFileBuffers(file.get())) {
            return CannotPlace(to, ::GetLastError());
        }
    }
    // MoveFileExW refuses a read-only target by itself.
    if (!::MoveFileExW(ToWindowsPath(from).c_str(), ToWindowsPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return CannotPlace(to, ::GetLastError());
    }
    return {};
}

}  // namespace vantrel
