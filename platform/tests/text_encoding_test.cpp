#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/system_error_text.h"
#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace vantrel {
namespace {

using testing::TempDir;
using testing::WriteFile;

// A subtitle file of the given lines, as players find them: numbered cues with
// their times, Windows line ends. The frame is ASCII, the same in every
// encoding below.
std::string Srt(const std::vector<std::string>& lines) {
    std::string srt;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        srt += n + "\r\n00:00:0" + n + ",000 --> 00:00:0" + n + ",900\r\n" + lines[i] + "\r\n\r\n";
    }
    return srt;
}

// Each line in its encoding (the bytes iconv wrote for it) and in UTF-8.
struct Sample {
    const char* language;
    const char* encoding;
    std::vector<std::pair<std::string, std::string>> lines;
};

// clang-format off
const Sample kLegacySamples[] = {
    {"French", "WINDOWS-1252",  // iconv -t WINDOWS-1252
     {
         {"\xC7" "a co\xFBte 5 \x80 ? C'est tr\xE8s cher, non ?",
          "Ça coûte 5 € ? C'est très cher, non ?"},
         {"O\xF9 est pass\xE9 le gar\xE7on ? Il \xE9tait l\xE0 \xE0 l'instant.",
          "Où est passé le garçon ? Il était là à l'instant."},
         {"No\xEBl approche : on f\xEAtera \xE7" "a chez ma s\x9Cur.",
          "Noël approche : on fêtera ça chez ma sœur."},
     }},
    {"German", "WINDOWS-1252",  // iconv -t WINDOWS-1252
     {
         {"Die Br\xFC" "cke \xFC" "ber den Fluss ist sch\xF6n, nicht wahr?",
          "Die Brücke über den Fluss ist schön, nicht wahr?"},
         {"Ich wei\xDF nicht, ob er heute zur\xFC" "ckkommt.",
          "Ich weiß nicht, ob er heute zurückkommt."},
         {"Gr\xFC\xDF Gott! M\xF6" "chten Sie ein St\xFC" "ck K\xE4se?",
          "Grüß Gott! Möchten Sie ein Stück Käse?"},
     }},
    {"Spanish", "WINDOWS-1252",  // iconv -t WINDOWS-1252
     {
         {"\xBFQu\xE9 tal, se\xF1or? \xBF" "Est\xE1 usted bien?",
          "¿Qué tal, señor? ¿Está usted bien?"},
         {"\xA1Ma\xF1" "ana ser\xE1 otro d\xED" "a! No te preocupes.",
          "¡Mañana será otro día! No te preocupes."},
         {"El ni\xF1o peque\xF1o est\xE1 en la habitaci\xF3n de al lado.",
          "El niño pequeño está en la habitación de al lado."},
     }},
    {"Russian", "WINDOWS-1251",  // iconv -t WINDOWS-1251
     {
         {"\xCF\xF0\xE8\xE2\xE5\xF2! \xCA\xE0\xEA \xF3 \xF2\xE5\xE1\xFF \xE4\xE5\xEB\xE0?",
          "Привет! Как у тебя дела?"},
         {"\xDF \xED\xE5 \xE7\xED\xE0\xFE, \xF7\xF2\xEE \xF2\xE5\xE1\xE5 \xF1\xEA\xE0\xE7\xE0\xF2\xFC.",
          "Я не знаю, что тебе сказать."},
         {"\xCC\xFB \xE2\xF1\xF2\xF0\xE5\xF2\xE8\xEC\xF1\xFF \xE7\xE0\xE2\xF2\xF0\xE0 \xF3\xF2\xF0\xEE\xEC \xF3 \xE2\xEE\xEA\xE7\xE0\xEB\xE0.",
          "Мы встретимся завтра утром у вокзала."},
         {"\xDD\xF2\xEE \xE1\xFB\xEB\xE0 \xEE\xF7\xE5\xED\xFC \xE4\xEB\xE8\xED\xED\xE0\xFF \xE8 \xF5\xEE\xEB\xEE\xE4\xED\xE0\xFF \xE7\xE8\xEC\xE0.",
          "Это была очень длинная и холодная зима."},
     }},
    {"Japanese", "SHIFT_JIS",  // iconv -t SHIFT_JIS
     {
         {"\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\x81" "A\x82\xA8\x8C\xB3\x8B" "C\x82\xC5\x82\xB7\x82\xA9\x81H",
          "こんにちは、お元気ですか？"},
         {"\x8D\xA1\x93\xFA\x82\xCD\x82\xC6\x82\xC4\x82\xE0\x8F\x8B\x82\xA2\x82\xC5\x82\xB7\x82\xCB\x81" "B",
          "今日はとても暑いですね。"},
         {"\x96\xBE\x93\xFA\x82\xCC\x92\xA9\x81" "A\x93\x8C\x8B\x9E\x89w\x82\xC5\x89\xEF\x82\xA2\x82\xDC\x82\xB5\x82\xE5\x82\xA4\x81" "B",
          "明日の朝、東京駅で会いましょう。"},
         {"\x82\xBB\x82\xEA\x82\xCD\x96{\x93\x96\x82\xC9\x91" "f\x90\xB0\x82\xE7\x82\xB5\x82\xA2\x89" "f\x89\xE6\x82\xC5\x82\xB5\x82\xBD\x81" "B",
          "それは本当に素晴らしい映画でした。"},
     }},
    {"Czech", "ISO-8859-2",  // iconv -t ISO-8859-2
     {
         {"P\xF8\xEDli\xB9 \xBElu\xBBou\xE8k\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1" "belsk\xE9 \xF3" "dy.",
          "Příliš žluťoučký kůň úpěl ďábelské ódy."},
         {"Dobr\xFD den, jak se m\xE1te? D\xECkuji, m\xE1m se dob\xF8" "e.",
          "Dobrý den, jak se máte? Děkuji, mám se dobře."},
         {"Z\xEDtra p\xF9jdeme do kina, jestli nebude pr\xB9" "et.",
          "Zítra půjdeme do kina, jestli nebude pršet."},
     }},
    {"Polish", "ISO-8859-2",  // iconv -t ISO-8859-2
     {
         {"Za\xBF\xF3\xB3\xE6 g\xEA\xB6l\xB1 ja\xBC\xF1.",
          "Zażółć gęślą jaźń."},
         {"Dzie\xF1 dobry, co s\xB3ycha\xE6? Wszystko w porz\xB1" "dku.",
          "Dzień dobry, co słychać? Wszystko w porządku."},
         {"Dzi\xEAkuj\xEA bardzo, ju\xBF id\xEA do domu, bo jest p\xF3\xBCno.",
          "Dziękuję bardzo, już idę do domu, bo jest późno."},
     }},
};
// clang-format on

TEST(ReadTextAsUtf8, DetectsLegacyEncodings) {
    for (const Sample& sample : kLegacySamples) {
        std::vector<std::string> encoded;
        std::vector<std::string> utf8;
        for (const auto& [bytes, text] : sample.lines) {
            encoded.push_back(bytes);
            utf8.push_back(text);
        }
        TempDir dir;
        const std::string path = dir.File(std::string(sample.language) + ".srt");
        WriteFile(path, Srt(encoded));
        const Expected<Utf8Text> read = ReadTextAsUtf8(path, "");
        ASSERT_TRUE(read.has_value()) << sample.language << ": " << read.reason();
        EXPECT_EQ(read->text, Srt(utf8)) << sample.language;
        EXPECT_EQ(read->encoding, sample.encoding) << sample.language;
    }
}

// UTF-16 little-endian bytes of a text, as Windows's Notepad saves "Unicode".
std::string Utf16LeBytes(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(ReadTextAsUtf8, TakesUnicodeByItsMarkOrItsValidity) {
    const std::string text = Srt({"Grüße aus Köln — Ça va ?", "日本語の字幕 🎬 «Привет»", "plain"});
    const std::u16string wide = u"1\r\nGrüße aus Köln — Ça va ?\r\n日本語の字幕 🎬 «Привет»\r\n";
    const std::string wideAsUtf8 = "1\r\nGrüße aus Köln — Ça va ?\r\n日本語の字幕 🎬 «Привет»\r\n";
    const struct {
        const char* what;
        std::string bytes;
        std::string asked;
        std::string expected;
        const char* encoding;
    } cases[] = {
        {"UTF-8", text, "", text, "UTF-8"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + text, "", text, "UTF-8"},
        {"UTF-16LE with its mark", "\xFF\xFE" + Utf16LeBytes(wide), "", wideAsUtf8, "UTF-16LE"},
        // The mark outweighs what is asked; so does valid UTF-8, which a
        // setting meant for old files must not garble.
        {"UTF-16LE asked as 1251", "\xFF\xFE" + Utf16LeBytes(wide), "WINDOWS-1251", wideAsUtf8,
         "UTF-16LE"},
        {"UTF-8 asked as 1250", text, "windows-1250", text, "UTF-8"},
        {"UTF-8 with its mark asked as Shift_JIS", "\xEF\xBB\xBF" + text, "SHIFT_JIS", text, "UTF-8"},
        {"ASCII", "1\r\nHello.\r\n", "", "1\r\nHello.\r\n", "UTF-8"},
        {"empty", "", "", "", "UTF-8"},
        {"only a mark", "\xEF\xBB\xBF", "", "", "UTF-8"},
        // Broken bytes in a text that says it is Unicode are marked, not fatal.
        {"UTF-8 with its mark and a broken byte", "\xEF\xBB\xBFKo\xE8ka", "", "Ko\xEF\xBF\xBDka",
         "UTF-8"},
        {"UTF-16LE with an odd byte at its end", std::string("\xFF\xFE" "A\0B", 5), "",
         "A\xEF\xBF\xBD", "UTF-16LE"},
        {"UTF-16BE with its mark", std::string("\xFE\xFF\0A\0\xE9\x4E\x2D", 8), "",
         "A\xC3\xA9\xE4\xB8\xAD", "UTF-16BE"},
    };
    for (const auto& row : cases) {
        TempDir dir;
        WriteFile(dir.File("subtitles.srt"), row.bytes);
        const Expected<Utf8Text> read = ReadTextAsUtf8(dir.File("subtitles.srt"), row.asked);
        ASSERT_TRUE(read.has_value()) << row.what << ": " << read.reason();
        EXPECT_EQ(read->text, row.expected) << row.what;
        EXPECT_EQ(read->encoding, row.encoding) << row.what;
    }
}

TEST(ReadTextAsUtf8, TheEncodingAskedForWinsOverDetection) {
    // "Kočka šest" in Windows-1250, read as each encoding asked, by any of its names.
    const std::string bytes = "Ko\xE8ka \x9A" "est";
    const struct {
        const char* asked;
        const char* expected;
        const char* encoding;
    } cases[] = {
        {"WINDOWS-1250", "Kočka šest", "WINDOWS-1250"},
        {"cp1250", "Kočka šest", "WINDOWS-1250"},
        {"windows-1252", "Koèka šest", "WINDOWS-1252"},
        {"Win1251", "Koиka љest", "WINDOWS-1251"},
        {"latin2", "Kočka \xC2\x9A" "est", "ISO-8859-2"},
        {"iso8859-2", "Kočka \xC2\x9A" "est", "ISO-8859-2"},
    };
    for (const auto& row : cases) {
        TempDir dir;
        WriteFile(dir.File("cat.srt"), bytes);
        const Expected<Utf8Text> read = ReadTextAsUtf8(dir.File("cat.srt"), row.asked);
        ASSERT_TRUE(read.has_value()) << row.asked << ": " << read.reason();
        EXPECT_EQ(read->text, row.expected) << row.asked;
        EXPECT_EQ(read->encoding, row.encoding) << row.asked;
    }
}

TEST(ReadTextAsUtf8, FailsWithTheReason) {
    TempDir dir;
    WriteFile(dir.File("cat.srt"), "Ko\xE8ka");
    WriteFile(dir.File("plain.srt"), "Hello");
    const Expected<Utf8Text> unknown = ReadTextAsUtf8(dir.File("cat.srt"), "KLINGON-8");
    ASSERT_FALSE(unknown.has_value());
    EXPECT_EQ(unknown.reason(), "unknown text encoding KLINGON-8");
    // Said even of a file that would not have needed it.
    EXPECT_FALSE(ReadTextAsUtf8(dir.File("plain.srt"), "klingon-8").has_value());

#ifdef _WIN32
    const std::string missing = SystemErrorText(ERROR_FILE_NOT_FOUND);
#else
    const std::string missing = SystemErrorText(ENOENT);
#endif
    const Expected<Utf8Text> gone = ReadTextAsUtf8(dir.File("gone.srt"), "");
    ASSERT_FALSE(gone.has_value());
    EXPECT_EQ(gone.reason(), missing);
    const Expected<Utf8Text> folder = ReadTextAsUtf8(dir.path(), "");
    ASSERT_FALSE(folder.has_value());
    EXPECT_FALSE(folder.reason().empty());
}

}  // namespace
}  // namespace vantrel
