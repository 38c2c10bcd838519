#include "conversion/subtitle_preparation.h"

#include "conversion/ascii_case.h"

#include <fstream>
#include <utility>

#include "conversion/ass_font_floor.h"
#include "conversion/language_code.h"
#include "conversion/output_format.h"
#include "platform/program_folder.h"
#include "platform/target_file.h"
#include "platform/text_encoding.h"
#include "platform/translation.h"
#include "platform/utf8_path.h"

namespace vantrel {
namespace {

// The smallest letters that stay readable on the player's screen, in lines
// of its frame: styled subtitles are never drawn smaller.
constexpr int kSmallestReadableLines = 11;

std::string ExtensionOf(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return AsciiLower(path.substr(dot + 1));
}

bool HasOwnStyles(const std::string& codecOrExtension) {
    return codecOrExtension == "ass" || codecOrExtension == "ssa";
}

Expected<void> WriteWhole(const std::string& path, const std::string& text) {
    std::ofstream file(PathFromUtf8(path), std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
        RemoveRegularFile(path);
        // TRANSLATORS: {1} is a file's path.
        return Fail(Fill(Tr("cannot write {1}"), {path}));
    }
    return {};
}

// The note for a track of the source drawn on the picture, counted from 1.
std::string DrawnTrackNote(const SubtitleTrack& track, int index) {
    const std::string number = std::to_string(index + 1);
    const std::string language = LanguageName(track.language);
    if (language.empty()) {
        // TRANSLATORS: {1} is the number of the source's subtitle track, counted from 1.
        return Fill(Tr("subtitle track {1} drawn"), {number});
    }
    // TRANSLATORS: {1} is the number of the source's subtitle track, counted from 1; {2} its
    // language, such as German.
    return Fill(Tr("subtitle track {1} ({2}) drawn"), {number, language});
}

}  // namespace

PreparedSubtitles::PreparedSubtitles(PreparedSubtitles&& other) noexcept
    : drawing_(std::move(other.drawing_)),
      note_(std::move(other.note_)),
      copy_(std::exchange(other.copy_, {})) {}

PreparedSubtitles& PreparedSubtitles::operator=(PreparedSubtitles&& other) noexcept {
    if (this != &other) {
        if (!copy_.empty()) RemoveRegularFile(copy_);
        drawing_ = std::move(other.drawing_);
        note_ = std::move(other.note_);
        copy_ = std::exchange(other.copy_, {});
    }
    return *this;
}

PreparedSubtitles::~PreparedSubtitles() {
    if (!copy_.empty()) RemoveRegularFile(copy_);
}

Expected<PreparedSubtitles> PrepareSubtitles(const ChosenSubtitles& chosen,
                                             const ConversionRequest& request,
                                             const SourceDescription& source,
                                             const std::string& font, const std::string& copyPath) {
    using Kind = ChosenSubtitles::Kind;
    PreparedSubtitles prepared;
    SubtitleDrawing& drawing = prepared.drawing_;
    drawing.kind = chosen.kind;
    drawing.track = chosen.track;
    switch (chosen.kind) {
        case Kind::kNone: return prepared;
        case Kind::kImageTrack:
            prepared.note_ = DrawnTrackNote(
                source.subtitleTracks[static_cast<size_t>(chosen.track)], chosen.track);
            return prepared;
        case Kind::kTextTrack: {
            const SubtitleTrack& track = source.subtitleTracks[static_cast<size_t>(chosen.track)];
            drawing.textFile = request.sourcePath;
            drawing.ownStyles = HasOwnStyles(track.codec);
            prepared.note_ = DrawnTrackNote(track, chosen.track);
            break;
        }
        case Kind::kFile: {
            const Expected<Utf8Text> text = ReadTextAsUtf8(chosen.file, request.subtitleEncoding);
            if (!text) {
                // TRANSLATORS: {1} is a subtitle file's path, {2} the system's reason.
                return Fail(
                    Fill(Tr("Cannot read the subtitles {1}: {2}"), {chosen.file, text.reason()}));
            }
            const std::string extension = ExtensionOf(chosen.file);
            const std::string script =
                HasOwnStyles(extension)
                    ? WithFontFloor(text->text, kPlayerFormat.height, kSmallestReadableLines)
                    : text->text;
            const std::string copy = copyPath + "." + (extension.empty() ? "srt" : extension);
            // A copy of an earlier run killed outright goes first.
            RemoveRegularFile(copy);
            if (const Expected<void> written = WriteWhole(copy, script); !written) {
                // TRANSLATORS: {1} is why, such as "cannot write /tmp/film.d3v.part.srt".
                return Fail(Fill(Tr("Cannot make the subtitles ready: {1}"), {written.reason()}));
            }
            prepared.copy_ = copy;
            drawing.textFile = copy;
            drawing.ownStyles = HasOwnStyles(extension);
            // TRANSLATORS: {1} is a subtitle file's name, {2} the encoding its text was read in,
            // such as UTF-8 or WINDOWS-1252.
            prepared.note_ =
                Fill(Tr("subtitles from {1} ({2})"), {FileNamePart(chosen.file), text->encoding});
            break;
        }
    }
    // Without a font libass draws nothing and says so only in passing: a film
    // whose subtitles were asked for would come out without them.
    if (GetFileLength(font) == 0) {
        // TRANSLATORS: {1} is a font file's path. "Subtitles: Off" is the choice of Off under
        // Subtitles in the window, and should read as it does there.
        return Fail(Fill(Tr("No font to draw the subtitles with: {1} is missing. Reinstall the "
                            "program, or choose Subtitles: Off."),
                         {font}));
    }
    drawing.fontFolder = FolderOf(font);
    return prepared;
}

}  // namespace vantrel
