// "Save to" and real memory cards: FAT images mounted through FUSE, plugged
// in and pulled while the dialog runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/support/mounted_card.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "ui/tests/recording_window.h"

namespace vantrel {
namespace {

struct RememberingStore : SettingsStore {
    std::map<std::string, std::string, std::less<>> values{{"normalize-loudness", "false"},
                                                           {"simultaneous-conversions", "1"}};
    std::optional<std::string> Read(std::string_view key) override {
        return values.contains(key) ? std::optional(values.find(key)->second) : std::nullopt;
    }
    void Write(std::string_view key, std::string_view v) override { values[std::string(key)] = v; }
};

// The place of the card labelled `label` among "Save to"'s choices; other
// tests' cards may be plugged in meanwhile, each under a label of its own.
int CardChoice(testing::RecordingWindow& window, const std::string& label) {
    const std::vector<std::string> choices = window.ChoiceTexts(kIdSaveTo);
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].starts_with(label + ": ") || choices[i].starts_with(label + "/")) return static_cast<int>(i);
    }
    return -1;
}

// A folder picked on a card belongs to that card: its choice leads there,
// after other choices and at the next start, while the card is in.
TEST(SaveToCards, AFolderPickedOnACardIsRememberedForThatCard) {
    testing::MountedCard card = testing::MountedCard::Fat("PICKED", 8);
    const std::string movies = card.folder() + "/Movies";
    std::filesystem::create_directory(movies);
    RememberingStore settings;
    {
        testing::RecordingWindow window;
        ConverterDialog dialog(window, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings);
        dialog.OnInitDialog();
        ASSERT_GT(CardChoice(window, "PICKED"), 0);
        window.AnswerNextFolder(movies);
        dialog.OnSaveTo(static_cast<int>(window.ChoiceTexts(kIdSaveTo).size()) - 1);  // "Choose a folder…"
        EXPECT_EQ(dialog.saveTo(), movies);
        // The card's own entry, not a folder of its own among the choices.
        EXPECT_EQ(window.Choices(kIdSaveTo).second, CardChoice(window, "PICKED"));
        EXPECT_TRUE(window.Chosen(kIdSaveTo).starts_with("PICKED/Movies: ")) << window.Chosen(kIdSaveTo);
        dialog.OnSaveTo(0);
        EXPECT_EQ(dialog.saveTo(), "");
        dialog.OnSaveTo(CardChoice(window, "PICKED"));
        EXPECT_EQ(dialog.saveTo(), movies);
    }
    testing::RecordingWindow window;
    ConverterDialog restarted(window, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings);
    restarted.OnInitDialog();
    EXPECT_EQ(restarted.saveTo(), movies);
}

// Pulled while the list runs, the card takes its choice with it, and the
// rows still waiting for it are skipped, saying why.
TEST(SaveToCards, RowsWaitingForACardPulledMidListAreSkipped) {
    testing::TempDir dir;
    // The first runs until stopped, without a file open on the card.
    testing::WriteFile(dir.File("a.avi"), "describe\nprobe-exit\nhang\n");
    testing::WriteFile(dir.File("b.avi"), "describe\nprobe-exit\nargs\ntarget 2048\n");
    testing::MountedCard card = testing::MountedCard::Fat("PULLED", 8);
    RememberingStore settings;
    testing::RecordingWindow window;
    ConverterDialog dialog(window, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings);
    dialog.OnInitDialog();
    dialog.OnSaveTo(CardChoice(window, "PULLED"));
    ASSERT_EQ(dialog.saveTo(), card.folder());
    dialog.OnAddPaths({dir.File("a.avi"), dir.File("b.avi")});
    ASSERT_TRUE(window.PumpUntil([&] {
        return dialog.rows().size() == 2 && dialog.rows()[0].probed && dialog.rows()[1].probed;
    }));
    dialog.OnEncode();
    ASSERT_EQ(dialog.rows()[0].state, RowState::kConverting);

    card.Unmount();
    ASSERT_TRUE(window.PumpUntil([&] { return dialog.rows()[1].state == RowState::kSkipped; }));
    EXPECT_EQ(window.States()[1], "Skipped: The card PULLED was taken out");
    EXPECT_EQ(CardChoice(window, "PULLED"), -1);
    EXPECT_EQ(dialog.saveTo(), "");
    dialog.OnEncode();  // STOP
    ASSERT_TRUE(window.PumpUntil([&] { return !dialog.working(); }));
    EXPECT_FALSE(testing::FileExists(dir.File("b.d3v")));
}

}  // namespace
}  // namespace vantrel
