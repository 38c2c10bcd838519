// Which sound track is heard and which subtitles are drawn, for the sources
// and choices that decide it.
#include "conversion/track_plan.h"

#include <gtest/gtest.h>

// MinGW's GCC 12 takes the strings of a large table's rows for uninitialised
// on the path that unwinds a half-built table, which never runs here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace vantrel {
namespace {

SoundTrack Sound(const char* language, const char* flags = "", const char* title = "") {
    SoundTrack track;
    track.language = language;
    track.title = title;
    const std::string f = flags;
    track.isDefault = f.find('d') != std::string::npos;
    track.isCommentary = f.find('c') != std::string::npos;
    track.isForVisuallyImpaired = f.find('v') != std::string::npos;
    return track;
}

TEST(ChooseSoundTrack, TheMainTrackInTheLanguageElseTheDefaultElseTheFirst) {
    const struct {
        const char* name;
        std::vector<SoundTrack> tracks;
        const char* preferred;
        int chosen;
    } cases[] = {
        {"the preferred language, written otherwise", {Sound("eng", "d"), Sound("ger")}, "de", 1},
        {"no track in it: the default", {Sound("eng"), Sound("fre", "d")}, "de", 1},
        {"no preference: the default", {Sound("eng"), Sound("fre", "d")}, "", 1},
        {"nothing flagged: the first", {Sound(""), Sound("fre")}, "de", 0},
        {"a commentary in the language is passed over", {Sound("eng", "d"), Sound("ger", "c")}, "de", 0},
        {"so is a track titled as one", {Sound("ger", "", "Kommentar des Regisseurs"), Sound("ger")},
         "deu", 1},
        {"and a described track", {Sound("ger", "v"), Sound("eng"), Sound("ger")}, "ger", 2},
        {"a default commentary is not the default", {Sound("eng", "dc"), Sound("fre")}, "", 1},
        {"only extras: the first of them", {Sound("eng", "c"), Sound("ger", "v")}, "fr", 0},
        {"no sound at all", {}, "de", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseSoundTrack(c.tracks, c.preferred), c.chosen) << c.name;
    }
}

SubtitleTrack Subtitle(const char* codec, const char* language, const char* flags = "") {
    SubtitleTrack track;
    track.codec = codec;
    track.language = language;
    const std::string f = flags;
    track.isForced = f.find('f') != std::string::npos;
    track.isForHearingImpaired = f.find('h') != std::string::npos;
    return track;
}

TEST(ChooseSubtitles, AutoTakesAFileBesideThenAForcedTrackThenOneInTheLanguageNotHeard) {
    using Kind = ChosenSubtitles::Kind;
    const SubtitleChoice automatic{SubtitleMode::kAuto, 0, ""};
    const struct {
        const char* name;
        SubtitleChoice choice;
        std::vector<SoundTrack> sound;
        std::vector<SubtitleTrack> subtitles;
        std::vector<std::string> beside;
        ChosenSubtitles chosen;
        bool picture = true;
    } cases[] = {
        {"a file beside the source first", automatic, {Sound("eng")},
         {Subtitle("subrip", "ger", "f")}, {"/m/a.de.srt"}, {Kind::kFile, 0, "/m/a.de.srt"}},
        {"then a forced track, in whatever language", automatic, {Sound("ger")},
         {Subtitle("subrip", "ger"), Subtitle("hdmv_pgs_subtitle", "eng", "f")}, {},
         {Kind::kImageTrack, 1, ""}},
        {"then, for sound in another language, a track in the preferred one", automatic,
         {Sound("jpn")}, {Subtitle("ass", "eng"), Subtitle("subrip", "ger")}, {},
         {Kind::kTextTrack, 1, ""}},
        {"a plain track before one for the hearing impaired", automatic, {Sound("eng")},
         {Subtitle("subrip", "deu", "h"), Subtitle("mov_text", "de")}, {}, {Kind::kTextTrack, 1, ""}},
        {"but one for the hearing impaired rather than none", automatic, {Sound("eng")},
         {Subtitle("subrip", "ger", "h")}, {}, {Kind::kTextTrack, 0, ""}},
        {"sound in the preferred language: none", automatic, {Sound("ger")},
         {Subtitle("subrip", "ger")}, {}, {}},
        {"sound in no known language: none", automatic, {Sound("")}, {Subtitle("subrip", "ger")}, {}, {}},
        {"no track in the preferred language: none", automatic, {Sound("eng")},
         {Subtitle("subrip", "fre")}, {}, {}},
        {"Off draws nothing, even with a file beside", {SubtitleMode::kOff, 0, ""}, {Sound("eng")},
         {Subtitle("subrip", "ger", "f")}, {"/m/a.srt"}, {}},
        {"a track chosen by hand", {SubtitleMode::kTrack, 1, ""}, {Sound("ger")},
         {Subtitle("subrip", "ger"), Subtitle("dvd_subtitle", "ger")}, {}, {Kind::kImageTrack, 1, ""}},
        {"a track the source does not have", {SubtitleMode::kTrack, 2, ""}, {Sound("ger")},
         {Subtitle("subrip", "ger")}, {}, {}},
        {"a file chosen by hand", {SubtitleMode::kFile, 0, "/x/y.ass"}, {Sound("ger")}, {},
         {"/m/a.srt"}, {Kind::kFile, 0, "/x/y.ass"}},
        {"no picture to draw on", automatic, {Sound("eng")}, {Subtitle("subrip", "ger", "f")},
         {"/m/a.srt"}, {}, false},
    };
    for (const auto& c : cases) {
        SourceDescription source;
        source.hasPicture = c.picture;
        source.soundTracks = c.sound;
        source.subtitleTracks = c.subtitles;
        const ChosenSubtitles chosen = ChooseSubtitles(c.choice, source, 0, c.beside, "de");
        EXPECT_EQ(chosen, c.chosen) << c.name << ": got kind " << static_cast<int>(chosen.kind)
                                    << ", track " << chosen.track << ", file " << chosen.file;
    }
}

}  // namespace
}  // namespace vantrel
