#include "conversion/subtitle_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/utf8_path.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using testing::FileExists;
using testing::TempDir;
using testing::WriteFile;
using Names = std::vector<std::string>;

TEST(SubtitleFilesBeside, TakesTheSourcesOwnInLanguageOrder) {
    // A name ending in '/' is a folder.
    const Names trip = {"Trip.mkv",     "Trip.srt",       "Trip.en.srt",    "TRIP.ENG.SRT",
                        "Trip.de.ass",  "trip.vtt",       "Trip.pt-BR.ssa", "Trip.French.srt",
                        "other-film.srt", "Trip.srt.bak", "Trip.fr.srt/",   "Trip.x.srt",
                        "Trip.en.forced.srt", "Trip.en.txt", "Trip.srt.en",  "Trips.srt",
                        "Trip.und.srt", ".Trip.srt"};
    const Names dotted = {"Film.2020.1080p.mkv",    "Film.2020.1080p.srt", "Film.2020.1080p.de.srt",
                          "Film.2020.srt",          "Film.srt",            "Film.2020.1080p.x264.srt",
                          "Film.2020.1080p.de.SDH.srt"};
    Names odd = {"L'été [2019]; a=b, c.mkv", "L'été [2019]; a=b, c.srt",
                 "L'été [2019]; a=b, c.fr.srt", "L'été [2019]; a=b.srt"};
#ifndef _WIN32
    // Not a name Windows allows.
    odd.insert(odd.end(), {"Act: One.avi", "Act: One.srt", "Act: One.it.vtt", "Act.srt"});
#endif
    const struct {
        const Names* folder;
        std::string source;
        std::string preferred;
        Names expected;
    } cases[] = {
        {&trip, "Trip.mkv", "en",
         {"TRIP.ENG.SRT", "Trip.en.srt", "Trip.srt", "trip.vtt", "Trip.French.srt", "Trip.de.ass",
          "Trip.pt-BR.ssa"}},
        {&trip, "Trip.mkv", "ger",
         {"Trip.de.ass", "Trip.srt", "trip.vtt", "TRIP.ENG.SRT", "Trip.French.srt", "Trip.en.srt",
          "Trip.pt-BR.ssa"}},
        {&trip, "trip.AVI", "pt_PT",
         {"Trip.pt-BR.ssa", "Trip.srt", "trip.vtt", "TRIP.ENG.SRT", "Trip.French.srt",
          "Trip.de.ass", "Trip.en.srt"}},
        {&trip, "Trip.mkv", "",
         {"Trip.srt", "trip.vtt", "TRIP.ENG.SRT", "Trip.French.srt", "Trip.de.ass", "Trip.en.srt",
          "Trip.pt-BR.ssa"}},
        {&trip, "Trip.mkv", "fra",
         {"Trip.French.srt", "Trip.srt", "trip.vtt", "TRIP.ENG.SRT", "Trip.de.ass", "Trip.en.srt",
          "Trip.pt-BR.ssa"}},
        {&trip, "Other.mkv", "en", {}},
        {&dotted, "Film.2020.1080p.mkv", "en", {"Film.2020.1080p.srt", "Film.2020.1080p.de.srt"}},
        {&dotted, "Film.2020.1080p.mkv", "de", {"Film.2020.1080p.de.srt", "Film.2020.1080p.srt"}},
        {&dotted, "Film.2020.mkv", "en", {"Film.2020.srt"}},
        {&dotted, "Film.mkv", "en", {"Film.srt"}},
        {&odd, "L'été [2019]; a=b, c.mkv", "fr",
         {"L'été [2019]; a=b, c.fr.srt", "L'été [2019]; a=b, c.srt"}},
#ifndef _WIN32
        {&odd, "Act: One.avi", "", {"Act: One.srt", "Act: One.it.vtt"}},
#endif
    };
    for (const auto& row : cases) {
        TempDir dir;
        for (const std::string& name : *row.folder) {
            if (name.ends_with('/')) {
                std::filesystem::create_directory(PathFromUtf8(dir.File(name)));
            } else {
                WriteFile(dir.File(name), "1\n00:00:01,000 --> 00:00:02,000\nHello\n");
            }
        }
        const Names found = SubtitleFilesBeside(dir.File(row.source), row.preferred);
        Names names;
        for (const std::string& path : found) {
            names.push_back(Utf8Of(PathFromUtf8(path).filename()));
            EXPECT_TRUE(FileExists(path)) << path;
        }
        EXPECT_EQ(names, row.expected) << row.source << " preferring " << row.preferred;
    }
}

TEST(SubtitleFilesBeside, NoneBesideASourceInAFolderThatIsNot) {
    TempDir dir;
    EXPECT_TRUE(SubtitleFilesBeside(dir.File("gone/Trip.mkv"), "en").empty());
    EXPECT_TRUE(SubtitleFilesBeside("", "en").empty());
}

TEST(LanguageOfSubtitleFile, TheWordBeforeTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/m/Trip.en.srt", "eng"},       {"/m/Trip.ENG.SRT", "eng"},
        {"/m/Trip.pt-BR.ass", "por"},    {"/m/Film.2020.1080p.de.vtt", "deu"},
        {"/m/Trip.German.ssa", "deu"},   {"/m/Trip.srt", ""},
        {"/m/Film.2020.srt", ""},        {"/m/Trip.und.srt", ""},
        {"/m/en.srt", ""},               {"/m/.en.srt", ""},
        {"/m/Trip.en.mkv", ""},          {"/m.de/Trip.srt", ""},
        {"Trip.fr.srt", "fra"},          {"", ""},
    };
    for (const auto& [path, language] : cases) EXPECT_EQ(LanguageOfSubtitleFile(path), language) << path;
}

TEST(IsSubtitleFileName, ByExtensionInAnyCase) {
    const std::pair<const char*, bool> cases[] = {
        {"a.srt", true},  {"a.SRT", true},      {"a.ass", true},    {"a.Ssa", true},
        {"a.vtt", true},  {"/m.srt/a", false},  {"a.srt.bak", false}, {"a.sub", false},
        {"srt", false},   {".srt", false},      {"a.mkv", false},   {"", false},
    };
    for (const auto& [path, subtitle] : cases) EXPECT_EQ(IsSubtitleFileName(path), subtitle) << path;
}

}  // namespace
}  // namespace vantrel
