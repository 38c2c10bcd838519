#include "conversion/ass_font_floor.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(WithFontFloor, RaisesOnlyTheStylesThatWouldBeUnreadableOnTheFrame) {
    const std::string styles =
        "[V4+ Styles]\r\n"
        "Format: Name, Fontname, Fontsize, PrimaryColour, Bold\r\n"
        "Style: Default,Arial,48,&H00FFFFFF,0\r\n"
        "Style: Note,Arial,20,&H00FFFFFF,-1\r\n"
        "Style: Song, Arial ,  9.5 ,&H00FFFFFF,0\r\n"
        "\r\n[Events]\r\n"
        "Format: Layer, Start, End, Style, Text\r\n"
        "Dialogue: 0,0:00:01.00,0:00:02.00,Note,Fontsize 20 stays in the words\r\n";
    const struct {
        const char* name;
        std::string info;
        std::string sizes;  // of Default, Note and Song afterwards
    } cases[] = {
        // 11 of 192 lines is 41.25 of 720: 42.
        {"a script 720 lines high", "PlayResY: 720\r\n", "48 42 42"},
        {"its height from its width", "PlayResX: 1280\r\n", "59 59 59"},
        {"three quarters of another width", "PlayResX: 640\r\n", "48 28 28"},
        {"the default 288 lines", "", "48 20 17"},
        {"a small script", "PlayResY: 192\r\n", "48 20 11"},
    };
    for (const auto& c : cases) {
        const std::string out = WithFontFloor("[Script Info]\r\n" + c.info + "\r\n" + styles, 192, 11);
        std::string sizes;
        for (const char* style : {"Style: Default,", "Style: Note,", "Style: Song,"}) {
            const size_t at = out.find(style);
            ASSERT_NE(at, std::string::npos) << c.name;
            const size_t size = out.find(',', out.find(',', at) + 1) + 1;
            sizes += (sizes.empty() ? "" : " ") + out.substr(size, out.find(',', size) - size);
        }
        EXPECT_EQ(sizes, c.sizes) << c.name;
        EXPECT_NE(out.find("Note,Fontsize 20 stays in the words\r\n"), std::string::npos) << c.name;
        EXPECT_EQ(out.size() - out.find("\r\n[Events]"), styles.size() - styles.find("\r\n[Events]"));
    }
}

TEST(WithFontFloor, LeavesAScriptWithoutStylesAsItIs) {
    for (const std::string script : {"", "[Script Info]\nPlayResY: 1080\n",
                                     "[V4+ Styles]\nStyle: Default,Arial,5,&H0\n"}) {
        EXPECT_EQ(WithFontFloor(script, 192, 11), script);
    }
}

}  // namespace
}  // namespace vantrel
