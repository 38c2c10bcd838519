#include "platform/win32/command_line_quoting.h"

namespace vantrel {
namespace {

// Backslashes are literal except in a run that ends at a quote: there each
// pair stands for one backslash and an odd one escapes the quote.
void AppendQuotedWord(std::string& line, const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += word;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (const char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Before a quote the run is doubled and the quote escaped.
        const size_t copies = c == '"' ? backslashes * 2 + 1 : backslashes;
        line.append(copies, '\\');
        line += c;
        backslashes = 0;
    }
    // The closing quote follows, so the trailing run is doubled too.
    line.append(backslashes * 2, '\\');
    line += '"';
}

}  // namespace

std::string QuoteCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (size_t i = 0; i < argv.size(); ++i) {
        if (i == 0) {
            line += '"' + argv[0] + '"';
        } else {
            line += ' ';
            AppendQuotedWord(line, argv[i]);
        }
    }
    return line;
}

}  // namespace vantrel
