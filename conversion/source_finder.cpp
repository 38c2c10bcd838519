#include "conversion/source_finder.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "conversion/target_naming.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Through char8_t, so that a path is read as UTF-8 and not in the system's
// legacy code page.
fs::path FromUtf8(const std::string& path) { return std::u8string(path.begin(), path.end()); }

std::string ToUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

class Finder {
public:
    void Add(const std::string& path) {
        std::error_code error;
        if (fs::is_directory(FromUtf8(path), error)) {
            Search(FromUtf8(path));
        } else {
            Keep(path);
        }
    }
    std::vector<std::string> found;

private:
    // The same file however it was named: "./a.mp4" and "a.mp4" are one.
    void Keep(const std::string& path) {
        std::error_code error;
        const fs::path absolute = fs::absolute(FromUtf8(path), error).lexically_normal();
        if (named_.insert(error ? path : ToUtf8(absolute)).second) found.push_back(path);
    }

    void Search(const fs::path& folder) {
        std::error_code error;
        // A folder reached again through a link is searched once.
        const fs::path real = fs::weakly_canonical(folder, error);
        if (error || !searched_.insert(ToUtf8(real)).second) return;
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            entries.push_back(it->path());
        }
        std::sort(entries.begin(), entries.end());
        for (const fs::path& entry : entries) {
            const std::string name = ToUtf8(entry.filename());
            if (name.empty() || name[0] == '.') continue;
            if (fs::is_directory(entry, error)) {
                Search(entry);
            } else if (fs::is_regular_file(entry, error) && TargetPathFor(ToUtf8(entry))) {
                Keep(ToUtf8(entry));
            }
        }
    }

    std::set<std::string> named_;
    std::set<std::string> searched_;
};

}  // namespace

std::vector<std::string> FindSources(const std::vector<std::string>& paths) {
    Finder finder;
    for (const std::string& path : paths) finder.Add(path);
    return finder.found;
}

}  // namespace vantrel
