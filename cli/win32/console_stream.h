#pragma once

#include <windows.h>

#include <streambuf>
#include <string>

namespace vantrel::cli {

// What std::cout and std::cerr write through on Windows. It takes the
// program's UTF-8 and writes it out at each flush: to a console as UTF-16, so
// that every name shows right whatever the console's code page; to a file or a
// pipe as UTF-8, with Windows' line ends.
class ConsoleStreamBuffer : public std::streambuf {
public:
    explicit ConsoleStreamBuffer(HANDLE handle);
    ~ConsoleStreamBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    const HANDLE handle_;
    const bool console_;
    std::string pending_;
};

}  // namespace vantrel::cli
