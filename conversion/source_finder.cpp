#include "conversion/source_finder.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "conversion/target_naming.h"
#include "platform/utf8_path.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

class Finder {
public:
    void Add(const std::string& path) {
        std::error_code error;
        if (fs::is_directory(PathFromUtf8(path), error)) {
            Search(PathFromUtf8(path));
        } else {
            Keep(path);
        }
    }
    std::vector<std::string> found;

private:
    // The same file however it was named: "./a.mp4" and "a.mp4" are one.
    void Keep(const std::string& path) {
        const std::string absolute = AbsolutePath(path);
        if (named_.insert(absolute.empty() ? path : absolute).second) found.push_back(path);
    }

    void Search(const fs::path& folder) {
        std::error_code error;
        // A folder reached again through a link is searched once.
        const fs::path real = fs::weakly_canonical(folder, error);
        if (error || !searched_.insert(Utf8Of(real)).second) return;
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            entries.push_back(it->path());
        }
        std::sort(entries.begin(), entries.end());
        for (const fs::path& entry : entries) {
            const std::string name = Utf8Of(entry.filename());
            if (name.empty() || name[0] == '.') continue;
            if (fs::is_directory(entry, error)) {
                Search(entry);
            } else if (fs::is_regular_file(entry, error) && TargetPathFor(Utf8Of(entry))) {
                Keep(Utf8Of(entry));
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
