#include "cli/win32/console_stream.h"

#include "platform/win32/wide_text.h"

namespace vantrel::cli {
namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}

bool WriteToConsole(HANDLE console, const std::wstring& text) {
    DWORD written = 0;
    for (size_t at = 0; at < text.size(); at += written) {
        if (!::WriteConsoleW(console, text.data() + at, static_cast<DWORD>(text.size() - at),
                             &written, nullptr) || written == 0)
            return false;
    }
    return true;
}

bool WriteToFile(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    for (size_t at = 0; at < bytes.size(); at += written) {
        if (!::WriteFile(file, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &written,
                         nullptr) || written == 0)
            return false;
    }
    return true;
}

}  // namespace

ConsoleStreamBuffer::ConsoleStreamBuffer(HANDLE handle)
    : handle_(handle), console_(IsConsole(handle)) {}

ConsoleStreamBuffer::int_type ConsoleStreamBuffer::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
}

std::streamsize ConsoleStreamBuffer::xsputn(const char* text, std::streamsize count) {
    pending_.append(text, static_cast<size_t>(count));
    return count;
}

// The console always flushes whole lines, so no character is cut in two here.
int ConsoleStreamBuffer::sync() {
    if (pending_.empty()) return 0;
    bool written;
    if (console_) {
        written = WriteToConsole(handle_, ToWide(pending_));
    } else {
        std::string lines;
        lines.reserve(pending_.size() + pending_.size() / 16);
        for (const char c : pending_) {
            if (c == '\n') lines += '\r';
            lines += c;
        }
        written = WriteToFile(handle_, lines);
    }
    pending_.clear();
    return written ? 0 : -1;
}

}  // namespace vantrel::cli
