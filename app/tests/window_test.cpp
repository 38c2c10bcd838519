// The real program in a real window on a display of its own (Xvfb), driven
// with real mouse clicks and key presses, and read through the test seam of
// its test build (seamed_vantrel.cpp).
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <optional>
#include <sstream>

#include "app/tests/window_driver.h"
#include "ui/accessible_names.h"
#include "tests/support/mounted_card.h"

namespace vantrel {
namespace {

using testing::ProgramState;
using testing::RunningProgram;
using testing::AtEmptyPanel;
using testing::ExpectTemplateInPlace;
using testing::Open;
using testing::WaitForWindows;

TEST(Window, StartsWithEveryControlOfItsTemplate) {
    RunningProgram program;
    ExpectTemplateInPlace(WaitForWindows(program, 1), 0, kConverterDialogTemplate);
}

// The choices are kept in the settings file; one damaged, or holding choices
// that do not exist, starts the window with its defaults, and no message.
// Started again as `vantrel FILE` (a file manager's "Open with"), it opens FILE.
TEST(Window, RemembersItsChoicesAndOpensTheFileItIsStartedWith) {
    testing::TempDir config;
    const std::string home = "XDG_CONFIG_HOME=" + config.path();
    ASSERT_EQ(::mkdir(config.File("vantrel").c_str(), 0700), 0);
    testing::WriteFile(config.File("vantrel/vantrel.conf"), "quality=loudest\npicture\n[broken\n");
    RunningProgram first({home});
    const ProgramState damaged = WaitForWindows(first, 1);
    ASSERT_TRUE(damaged[kIdQualityMediumLo].checked && damaged[kIdPictureFit].checked);
    testing::Click(damaged[kIdQualityHighest]);
    testing::Click(damaged[kIdPictureStretch]);
    // Each choice is kept at once: the next start, while this one still runs, sees it.
    first.WaitFor([](const ProgramState& s) { return s[kIdPictureStretch].checked; });
    ASSERT_TRUE(testing::MakeClip(config.File("clip.mp4"), 1));
    RunningProgram second({home}, config.File("clip.mp4"));
    const ProgramState restarted = second.WaitFor([](const ProgramState& s) {
        return s.windows.size() == 1 && s[kIdEncode].enabled;
    });
    EXPECT_TRUE(restarted[kIdQualityHighest].checked && restarted[kIdPictureStretch].checked);
    EXPECT_EQ(restarted[kIdFileName].text, "clip.mp4");
    ASSERT_EQ(restarted.rows.size(), 1u);
    EXPECT_TRUE(restarted.rows[0].selected);
    EXPECT_EQ(restarted.rows[0].duration, "0:01");
}

// Started as `vantrel FILE FILE FOLDER`, with "Save to" set to a folder: Encode
// converts every row into it. Then sources in a folder that cannot be written,
// with "beside each movie": their rows are skipped with the reason.
TEST(Window, ConvertsTheFilesAndFoldersItIsStartedWithIntoTheSaveToFolder) {
    testing::DropFilePermissionOverrides();  // so that the locked folder binds though run as root
    testing::TempDir dir;
    for (const char* folder : {"vantrel", "out", "season", "locked"}) {
        ASSERT_EQ(::mkdir(dir.File(folder).c_str(), 0700), 0);
    }
    for (const char* clip : {"a.mp4", "b.mkv", "season/c.mp4", "locked/d.mp4"}) {
        ASSERT_TRUE(testing::MakeClip(dir.File(clip), 2));
    }
    testing::WriteFile(dir.File("vantrel/vantrel.conf"),
                       "save-to=folder\nsave-to-folder=" + dir.File("out") + "\n");
    const std::string home = "XDG_CONFIG_HOME=" + dir.path();
    {
        RunningProgram program({home}, {dir.File("a.mp4"), dir.File("b.mkv"), dir.File("season")});
        const ProgramState listed = program.WaitFor([](const ProgramState& s) {
            return s.rows.size() == 3 && s.windows.size() == 1 && s[kIdEncode].enabled;
        });
        EXPECT_EQ(listed[kIdSaveTo].text, dir.File("out"));
        testing::Click(listed[kIdEncode]);
        // The bar follows the whole list: it stands between as each file ends.
        testing::ExpectRunToFillTheBar(program);
        const ProgramState done = program.WaitFor([](const ProgramState&) { return true; });
        for (const testing::Row& row : done.rows) EXPECT_EQ(row.state.rfind("Converted (", 0), 0u) << row.state;
        EXPECT_EQ(done.rows[2].name, "c.mp4");
        for (const char* made : {"out/a.d3v", "out/b.d3v", "out/c.d3v"}) {
            EXPECT_TRUE(testing::IsHandheldMovie(dir.File(made)));
        }
        EXPECT_FALSE(testing::FileExists(dir.File("a.d3v")) || testing::FileExists(dir.File("season/c.d3v")));
    }
    testing::WriteFile(dir.File("vantrel/vantrel.conf"), "save-to=beside\n");
    ASSERT_EQ(::chmod(dir.File("locked").c_str(), 0500), 0);
    RunningProgram program({home}, {dir.File("locked"), dir.File("a.mp4")});
    testing::Click(program.WaitFor([](const ProgramState& s) {
        return s.rows.size() == 2 && s.windows.size() == 1 && s[kIdEncode].enabled;
    })[kIdEncode]);
    const ProgramState skipped = program.WaitFor([](const ProgramState& s) {
        return s[kIdStatus].text.rfind("1 file converted, 1 failed, in ", 0) == 0;
    });
    ::chmod(dir.File("locked").c_str(), 0700);
    EXPECT_EQ(skipped.rows[0].state,
              "Skipped: Cannot write in " + dir.File("locked") + ": choose a folder under Save to");
    EXPECT_EQ(skipped.rows[1].state.rfind("Converted (", 0), 0u);
    EXPECT_TRUE(testing::IsHandheldMovie(dir.File("a.d3v")));
}

TEST(Window, ShowsTheSelectedMovieAsThePlayerWill) {
    testing::TempDir dir;
    const std::string clip = testing::MakeRedClipWithSubtitles(dir);
    ASSERT_FALSE(clip.empty());
    RunningProgram program({}, clip);
    testing::ExpectThePreviewOfTheRedClip(program);
}

// The pseudo-language's catalog brackets every text and makes it 40 % longer:
// a text without brackets skipped the catalog, and a control narrower than
// its text cuts a translation off. The real languages' texts must fit too.
bool Bracketed(const std::string& text) { return text.size() >= 2 && text.front() == '[' && text.back() == ']'; }

void ExpectEveryTextWhole(const testing::Window& window, bool bracketed, const std::vector<std::string>& untranslated) {
    SCOPED_TRACE("window \"" + window.title + "\"");
    EXPECT_TRUE(!bracketed || Bracketed(window.title)) << window.title;
    for (const testing::Control& c : window.controls) {
        SCOPED_TRACE("control " + std::to_string(c.id) + " \"" + c.text + "\"");
        // The panel's values are the movie's: its name, its codec's...
        const bool isValue = std::any_of(kAccessibleNames.begin(), kAccessibleNames.end(), [&](const AccessibleName& n) {
            return n.id == c.id && n.isValue && c.id != kIdStatus;
        });
        const bool kept = std::find(untranslated.begin(), untranslated.end(), c.text) != untranslated.end();
        if (bracketed && !isValue && !kept && !c.text.empty()) {
            EXPECT_TRUE(Bracketed(c.text));
        }
        for (const std::string& choice : c.choices) {
            // A folder's path, or a subtitle file's name, is the user's.
            if (bracketed && choice.find('/') == std::string::npos && choice.find(".srt") == std::string::npos) {
                EXPECT_TRUE(Bracketed(choice)) << choice;
            }
        }
        EXPECT_LE(c.neededWidth, c.width);
    }
}

TEST(Window, InEveryLanguageEveryTextIsTranslatedAndFits) {
    testing::TempDir dir;
    const std::string clip = testing::MakeRedClipWithSubtitles(dir);
    ASSERT_FALSE(clip.empty());
    for (const std::string language : {"qps", "de", "es", "fr", "ja"}) {
        SCOPED_TRACE("language " + language);
        const bool pseudo = language == "qps";
        RunningProgram program({"LC_ALL=", "LC_MESSAGES=", "LANG=" + language}, clip);
        const ProgramState s = program.WaitFor([](const ProgramState& shown) {
            return shown.rows.size() == 1 && !shown[kIdDuration].text.empty() && !shown[kIdStatus].text.empty();
        });
        EXPECT_NE(s[kIdEncode].text, "Encode");  // the catalog was found
        ExpectEveryTextWhole(s.windows.at(0), pseudo, {});
        ASSERT_EQ(s.columns.size(), kSourceListColumns.size());
        for (const testing::Column& column : s.columns) {
            EXPECT_TRUE(!pseudo || Bracketed(column.header)) << column.header;
            EXPECT_LE(column.neededWidth, column.width) << column.header;
        }
        EXPECT_TRUE(!pseudo || Bracketed(s.rows[0].state)) << s.rows[0].state;
        EXPECT_TRUE(!pseudo || Bracketed(s.rows[0].size)) << s.rows[0].size;

        // The About box: only the program's name and version, and the
        // copyright notice, stay as they are.
        AtEmptyPanel(s, "key F1");
        const ProgramState about = WaitForWindows(program, 2);
        ExpectEveryTextWhole(about.windows.at(1), pseudo,
                             {"Vantrel Video Converter V" VANTREL_VERSION_SHORT, "Copyright (C) 2026 Vantrel"});
    }
}

// Without a mouse: a caption's mnemonic reaches its field, Enter applies what
// was typed, and Encode's mnemonic presses it; then Delete in the list.
TEST(Window, ConvertsAPartOfAMovieFromTheKeyboardAlone) {
    testing::TempDir dir;
    ASSERT_TRUE(testing::MakeClip(dir.File("clip.mp4"), 6));
    RunningProgram program({}, dir.File("clip.mp4"));
    const ProgramState s = program.WaitFor([](const ProgramState& shown) {
        return shown.rows.size() == 1 && shown[kIdEncode].enabled && shown.rows[0].duration == "0:06";
    });
    AtEmptyPanel(s, "key alt+f type 0:02");
    testing::Xdotool("key Return");
    program.WaitFor([](const ProgramState& shown) { return shown.rows[0].duration == "0:04"; });
    testing::Xdotool("key alt+e");
    const ProgramState done = program.WaitFor([](const ProgramState& shown) {
        return shown.rows[0].state.rfind("Converted", 0) == 0;
    });
    EXPECT_EQ(done[kIdTrimFrom].text, "0:00:02");
    // Delete in the list takes the selected row off: a click on the row, the
    // first under the list's header, gives the list the keyboard.
    const testing::Control& list = done[kIdSourceList];
    testing::Xdotool("mousemove --sync " + std::to_string(list.x + list.width / 4) + " " +
                     std::to_string(list.y + list.height / 4) + " click 1 key Delete");
    program.WaitFor([](const ProgramState& shown) { return shown.rows.empty(); });
}

TEST(Window, AboutBoxOpensFromTheContextMenuAndF1AndCloses) {
    RunningProgram program;
    AtEmptyPanel(WaitForWindows(program, 1), "click 3");
    program.WaitFor([](const ProgramState& s) { return s.menuOpened; });
    // The menu holds a separator, then the About entry, the only one to choose.
    testing::Xdotool("key Down Return");
    const ProgramState about = WaitForWindows(program, 2);
    ExpectTemplateInPlace(about, 1, kAboutDialogTemplate);
    testing::Click(about.windows[1].controls.at(3));

    AtEmptyPanel(WaitForWindows(program, 1), "key F1");
    EXPECT_EQ(WaitForWindows(program, 2).windows[1].title, kAboutDialogTemplate.caption);
    testing::Xdotool("key Escape");
    WaitForWindows(program, 1);

    // The session ending while the box is open: the box goes first, then
    // the program, which used to free the box twice and abort.
    // The pointer is still over the panel.
    WaitForWindows(program, 1);
    testing::Xdotool("key F1");
    WaitForWindows(program, 2);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(), 0);
}

// A card plugged in while the window is open is offered under "Save to" by
// its label and free space; the list's files go onto it, and the status line
// says they are there. Pulled, it leaves the choices.
TEST(Window, OffersACardPluggedInAndConvertsTheListOntoIt) {
    testing::TempDir dir;
    for (const char* clip : {"a.mp4", "b.mp4"}) ASSERT_TRUE(testing::MakeClip(dir.File(clip), 2));
    ASSERT_EQ(::mkdir(dir.File("vantrel").c_str(), 0700), 0);
    testing::WriteFile(dir.File("vantrel/vantrel.conf"), "save-to=beside\nnormalize-loudness=false\n");
    RunningProgram program({"XDG_CONFIG_HOME=" + dir.path()}, {dir.File("a.mp4"), dir.File("b.mp4")});
    program.WaitFor([](const ProgramState& s) { return s.rows.size() == 2 && s[kIdEncode].enabled; });

    // A label of its own: other tests' cards may be plugged in meanwhile.
    std::optional<testing::MountedCard> card = testing::MountedCard::Fat("OFFERED", 16);
    const auto place = [](const ProgramState& s) {
        const std::vector<std::string>& choices = s[kIdSaveTo].choices;
        for (size_t i = 0; i < choices.size(); ++i) {
            if (choices[i].starts_with("OFFERED: ") && choices[i].ends_with(" MB free")) return static_cast<int>(i);
        }
        return -1;
    };
    const ProgramState plugged = program.WaitFor([&](const ProgramState& s) { return place(s) > 0; });
    EXPECT_EQ(plugged[kIdSaveTo].text, "Beside each movie");
    EXPECT_EQ(plugged[kIdSaveTo].choices.back(), "Choose a folder…");
    // The list opens on the entry chosen, the first; the card is further down.
    testing::Click(plugged[kIdSaveTo]);
    std::string keys = "key";
    for (int i = 0; i < place(plugged); ++i) keys += " Down";
    testing::Xdotool(keys + " Return");
    const ProgramState chosen = program.WaitFor([](const ProgramState& s) {
        return s[kIdSaveTo].text.starts_with("OFFERED: ") && s[kIdStatus].text.find("; OFFERED has ") != std::string::npos;
    });
    EXPECT_TRUE(chosen[kIdStatus].text.starts_with("Expected size: ")) << chosen[kIdStatus].text;

    testing::Click(chosen[kIdEncode]);
    const ProgramState done = program.WaitFor([](const ProgramState& s) {
        return s[kIdStatus].text.find(" in ") != std::string::npos && s[kIdEncode].text == "Encode";
    });
    EXPECT_TRUE(done[kIdStatus].text.starts_with("2 files converted, in ")) << done[kIdStatus].text;
    EXPECT_TRUE(done[kIdStatus].text.ends_with(". The files are on OFFERED")) << done[kIdStatus].text;
    for (const char* made : {"a.d3v", "b.d3v"}) EXPECT_TRUE(testing::IsHandheldMovie(card->folder() + "/" + made));
    EXPECT_FALSE(testing::FileExists(dir.File("a.d3v")));

    card->Unmount();
    const ProgramState pulled = program.WaitFor([&](const ProgramState& s) { return place(s) < 0; });
    EXPECT_EQ(pulled[kIdSaveTo].text, "Beside each movie");
}

// Exit, Esc and the signals that ask a program to end all close the window:
// the run stops, its partial file goes, and the program exits with 0.
TEST(Window, ClosingMidRunStopsTheEncoderAndExits) {
    const std::pair<const char*, std::function<void(RunningProgram&, const ProgramState&)>>
        closings[] = {
            {"Exit", [](RunningProgram&, const ProgramState& s) { testing::Click(s[kIdCancel]); }},
            {"Esc", [](RunningProgram&, const ProgramState& s) { AtEmptyPanel(s, "key Escape"); }},
            {"SIGTERM", [](RunningProgram& p, const ProgramState&) { p.Signal(SIGTERM); }},
            {"SIGINT", [](RunningProgram& p, const ProgramState&) { p.Signal(SIGINT); }},
            {"SIGHUP", [](RunningProgram& p, const ProgramState&) { p.Signal(SIGHUP); }},
        };
    for (const auto& [name, close] : closings) {
        SCOPED_TRACE(name);
        // The fake encoder, found as "ffmpeg" first on PATH, converts for ever.
        testing::TempDir dir;
        ASSERT_EQ(::symlink(FAKE_ENCODER_PATH, dir.File("ffmpeg").c_str()), 0);
        const std::string source = dir.File("clip.avi");
        // The probe stops at probe-exit; the conversion goes on to talk.
        testing::WriteFile(source, "describe\nprobe-exit\ntarget 4096\ntalk\n");
        // It has no sound whose loudness a run before the conversion could
        // measure: that run would play the script too.
        ASSERT_EQ(::mkdir(dir.File("vantrel").c_str(), 0700), 0);
        testing::WriteFile(dir.File("vantrel/vantrel.conf"), "normalize-loudness=false\n");
        RunningProgram program({"XDG_CONFIG_HOME=" + dir.path(), "PATH=" + dir.path() + ":" + std::getenv("PATH")});
        const ProgramState probed = Open(program, source, kIdDuration);
        testing::Click(probed[kIdEncode]);
        const ProgramState running = program.WaitFor([](const ProgramState& s) {
            return !s.progress.empty() && s.progress.back() > 0;
        });
        // Written under its temporary name until complete.
        ASSERT_TRUE(testing::FileExists(dir.File("clip.d3v.part")));
        close(program, running);
        EXPECT_EQ(program.WaitForExit(), 0);
        EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
        EXPECT_FALSE(testing::FileExists(dir.File("clip.d3v")) ||
                     testing::FileExists(dir.File("clip.d3v.part")));
    }
}


// The calls to `method` the login manager has taken (with_logind_mock.sh).
size_t LogindCalls(const std::string& method) {
    std::istringstream log(testing::ReadFile(std::getenv("VANTREL_LOGIND_LOG")));
    size_t calls = 0;
    for (std::string time, name, rest; log >> time >> name && std::getline(log, rest);) calls += name == method;
    return calls;
}

// With logind on a bus of its own: "Shut down", which it refuses, is greyed
// out with the reason. "Sleep" is asked for once, after the last row and the
// notice; a STOP never comes to a notice, and Cancel during one keeps the
// computer on.
TEST(Window, SleepsOnceTheListIsDoneAfterItsNoticeUnlessStoppedOrCancelled) {
    testing::TempDir dir;
    // The fake encoder, first on PATH: endless.avi converts until stopped.
    ASSERT_EQ(::symlink(FAKE_ENCODER_PATH, dir.File("ffmpeg").c_str()), 0);
    testing::WriteFile(dir.File("endless.avi"), "describe\nprobe-exit\ntarget 4096\ntalk\n");
    for (const char* quick : {"a.avi", "b.avi", "c.avi"}) {
        testing::WriteFile(dir.File(quick), "describe\nprobe-exit\ntarget 2048\n");
    }
    ASSERT_EQ(::mkdir(dir.File("vantrel").c_str(), 0700), 0);
    // A notice long enough for the test to see it and click Cancel, however
    // slow the machine.
    testing::WriteFile(dir.File("vantrel/vantrel.conf"), "normalize-loudness=false\nwhen-done-notice-seconds=15\n");
    RunningProgram program({"XDG_CONFIG_HOME=" + dir.path(), "XDG_DATA_HOME=" + dir.path(),
                            "PATH=" + dir.path() + ":" + std::getenv("PATH")},
                           dir.File("endless.avi"));
    const ProgramState start = program.WaitFor([](const ProgramState& s) {
        return s.windows.size() == 1 && s[kIdEncode].enabled;
    });
    EXPECT_FALSE(start[kIdWhenDoneShutDown].enabled);
    EXPECT_EQ(start[kIdWhenDoneShutDown].tooltip, "The system does not allow this user to shut down the computer");
    ASSERT_TRUE(start[kIdWhenDoneSleep].enabled);
    EXPECT_TRUE(start[kIdWhenDoneNothing].checked);
    testing::Click(start[kIdWhenDoneSleep]);
    program.WaitFor([](const ProgramState& s) { return s[kIdWhenDoneSleep].checked; });

    testing::Click(start[kIdEncode]);
    testing::Click(program.WaitFor([](const ProgramState& s) {
        return s[kIdEncode].text == "STOP" && !s.progress.empty() && s.progress.back() > 0;
    })[kIdEncode]);
    const ProgramState stopped = program.WaitFor([](const ProgramState& s) {
        return s[kIdEncode].text == "Encode" && s.rows.at(0).state == "Stopped";
    });
    EXPECT_TRUE(stopped[kIdWhenDoneSleep].checked);
    testing::Click(stopped[kIdRemove]);
    program.WaitFor([](const ProgramState& s) { return s.rows.empty(); });

    testing::Open(program, dir.File("c.avi"), kIdDuration);
    testing::Click(program.WaitFor([](const ProgramState& s) { return s[kIdEncode].enabled; })[kIdEncode]);
    const ProgramState notice = program.WaitFor([](const ProgramState& s) {
        return s[kIdStatus].text.starts_with("The computer will sleep in ");
    });
    EXPECT_EQ(notice[kIdEncode].text, "Cancel");
    // Away from where Encode was clicked a moment ago: the toolkit would
    // take a second click there as a double click, which a button ignores.
    const testing::Control& cancel = notice[kIdEncode];
    testing::Xdotool("mousemove --sync " + std::to_string(cancel.x + cancel.width / 5) + " " +
                     std::to_string(cancel.y + cancel.height / 2) + " click 1");
    const ProgramState cancelled = program.WaitFor([](const ProgramState& s) { return s[kIdEncode].text == "Encode"; });
    EXPECT_TRUE(cancelled[kIdStatus].text.starts_with("Converted: c.d3v")) << cancelled[kIdStatus].text;

    // The list of two clips, Sleep still chosen.
    testing::Open(program, dir.File("a.avi"), kIdDuration);
    testing::Open(program, dir.File("b.avi"), kIdDuration);
    testing::Click(program.WaitFor([](const ProgramState& s) {
        return s.rows.size() == 3 && s[kIdEncode].enabled;
    })[kIdEncode]);
    const ProgramState counting = program.WaitFor([](const ProgramState& s) {
        return s[kIdStatus].text.starts_with("The computer will sleep in ");
    });
    EXPECT_EQ(LogindCalls("Suspend"), 0u);
    for (const testing::Row& row : counting.rows) EXPECT_TRUE(row.state.starts_with("Converted")) << row.state;
    const ProgramState asked = program.WaitFor([](const ProgramState& s) {
        return s[kIdStatus].text.starts_with("The list's results are in ");
    });
    EXPECT_EQ(LogindCalls("Suspend"), 1u);
    EXPECT_EQ(LogindCalls("PowerOff"), 0u);
    EXPECT_TRUE(asked[kIdWhenDoneNothing].checked);
    EXPECT_EQ(asked[kIdStatus].text, "The list's results are in " + dir.File("vantrel/last-list.txt"));
}

}  // namespace
}  // namespace vantrel
