#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include "platform/system_error_text.h"
#include "platform/text_decoding.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

// iconv's names for what the program calls otherwise: files labelled in the
// old standards are nearly always written by Windows, in its supersets of
// them, whose extra characters the standard tables would turn into errors.
const char* IconvName(const std::string& encoding) {
    if (encoding == "SHIFT_JIS") return "CP932";
    if (encoding == "EUC-KR" || encoding == "UHC") return "CP949";
    if (encoding == "GB2312" || encoding == "GBK") return "GB18030";
    return encoding.c_str();
}

}  // namespace

Expected<std::string> ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(SystemErrorText(errno));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return Fail(SystemErrorText(error));
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

Expected<std::string> LegacyToUtf8(std::string_view bytes, const std::string& encoding) {
    const iconv_t converter = ::iconv_open("UTF-8", IconvName(encoding));
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        // TRANSLATORS: {1} is the name of a text encoding as the user gave it, such as WINDOWS-1252.
        return Fail(Fill(Tr("unknown text encoding {1}"), {encoding}));
    }
    std::string out(bytes.size() * 2 + 16, '\0');
    // iconv's interface takes no const, though it does not write the input.
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    size_t written = 0;
    while (inLeft > 0) {
        char* to = out.data() + written;
        size_t outLeft = out.size() - written;
        const size_t done = ::iconv(converter, &in, &inLeft, &to, &outLeft);
        written = out.size() - outLeft;
        if (done != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {
            // A byte that is no character in the encoding (EILSEQ), or a
            // sequence cut off by the file's end (EINVAL): marked, and passed.
            if (out.size() - written < 3) out.resize(out.size() * 2);
            out.replace(written, 3, "\xEF\xBF\xBD");
            written += 3;
            ++in;
            --inLeft;
            ::iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        }
    }
    ::iconv_close(converter);
    out.resize(written);
    return out;
}

}  // namespace vantrel
