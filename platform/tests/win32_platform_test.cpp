#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <dbt.h>
#include <shellapi.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "platform/child_process.h"
#include "platform/free_space.h"
#include "platform/program_folder.h"
#include "platform/removable_cards.h"
#include "platform/win32/wide_text.h"

// This program is also the child of its own tests, started with a mode word.
namespace vantrel {
namespace {

// Every child started below runs only if this is right.
std::string SelfPath() { return JoinPath(ProgramFolder(), "platform_tests.exe"); }

std::string ReadAll(ChildProcess& child) {
    std::string all;
    char buffer[4096];
    for (long n; child.Wait(nullptr, false, -1).output && (n = child.ReadOutput(buffer, 4096)) > 0;)
        all.append(buffer, static_cast<size_t>(n));
    return all;
}

// clang-format off
const std::vector<std::string> kOddWords = {
    "plain", "two words", "\ttab", "say \"hi\"", "\"", "a\\\"b", "trailing\\",
    "blank and trailing\\\\", "", "\\\\\\", "\\\\server\\share", "ünïcødé 日本 🎬"};
// clang-format on

TEST(ChildProcess, PassesEveryWordToARealChildAndMergesItsErrorOutput) {
    std::vector<std::string> argv = {SelfPath(), "--echo"};
    argv.insert(argv.end(), kOddWords.begin(), kOddWords.end());
    ChildProcess child;
    ASSERT_TRUE(child.Start(argv).has_value());
    std::string expected;
    for (const std::string& word : kOddWords) expected += word + '|';
    EXPECT_EQ(ReadAll(child), expected + "end");
    EXPECT_EQ(child.Reap(), 0);
}

TEST(WideText, RoundTripsAndReplacesWhatIsNotText) {
    const std::string words[] = {"", "plain", "ünïcødé", "日本語", "🎬 beyond the first plane"};
    for (const std::string& word : words) EXPECT_EQ(ToUtf8(ToWide(word)), word);
    EXPECT_EQ(ToWide("🎬").size(), 2u);  // a surrogate pair
    EXPECT_EQ(ToWide("a\xff"), L"a\xfffd");
    EXPECT_EQ(ToUtf8(std::wstring(1, wchar_t(0xd800))), "\xef\xbf\xbd");
}

TEST(WideText, GivesLongAbsolutePathsThePrefix) {
    const std::string deep = std::string(300, 'd');
    const struct {
        std::string path;
        std::wstring expected;
    } rows[] = {
        {"C:/short/name.txt", L"C:\\short\\name.txt"},
        {"C:/x/../" + deep, L"\\\\?\\C:\\" + ToWide(deep)},
        {"\\\\server\\share\\" + deep, L"\\\\?\\UNC\\server\\share\\" + ToWide(deep)},
        {"relative\\" + deep, L"relative\\" + ToWide(deep)},
    };
    for (const auto& row : rows) EXPECT_EQ(ToWindowsPath(row.path), row.expected) << row.path;
}

TEST(ChildProcess, ChildrenDieWhenTheProgramThatStartedThemIsTerminated) {
    ChildProcess starter;
    ASSERT_TRUE(starter.Start({SelfPath(), "--starter"}).has_value());
    std::string pid;
    char c;
    while (starter.Wait(nullptr, false, -1).output && starter.ReadOutput(&c, 1) == 1 && c != '\n')
        pid += c;
    const HANDLE grandchild = ::OpenProcess(SYNCHRONIZE, FALSE, std::stoul(pid));
    ASSERT_NE(grandchild, nullptr);
    // Not through the starter's own job: only its death may end the grandchild.
    const HANDLE starterHandle =
        ::OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(starter.id()));
    ASSERT_TRUE(::TerminateProcess(starterHandle, 1));
    ::CloseHandle(starterHandle);
    EXPECT_EQ(::WaitForSingleObject(grandchild, INFINITE), WAIT_OBJECT_0);
    ::CloseHandle(grandchild);
}

TEST(ChildProcess, InheritsNoHandleButItsOwnPipeEndsAndDiesAsIfSignalledOnLinux) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
    ChildProcess child;
    ASSERT_TRUE(child.Start({SelfPath(), "--hang"}).has_value());
    ::CloseHandle(writeEnd);
    // Had the child inherited the write end, this read would wait for ever.
    char c;
    DWORD n = 0;
    EXPECT_FALSE(::ReadFile(readEnd, &c, 1, &n, nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
    ::CloseHandle(readEnd);
    child.Kill();
    EXPECT_EQ(child.Reap(), 128 + 9);
}

TEST(ChildProcess, LeavesNoHandleBehind) {
    const auto run = [] {
        ChildProcess child;
        child.Start({SelfPath(), "--echo"});
        ReadAll(child);
    };
    // Counted by trying each handle value: wine has no handle count.
    const auto openHandles = [] {
        int count = 0;
        DWORD flags;
        for (uintptr_t h = 4; h < 4 * 4096; h += 4)
            count += ::GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags) ? 1 : 0;
        return count;
    };
    run();  // the first start sets up what every later one reuses
    const int before = openHandles();
    for (int i = 0; i < 10; ++i) run();
    EXPECT_EQ(openHandles(), before);
}

TEST(FileSystemFreeSpace, IsKnownOnlyForARealFolder) {
    EXPECT_TRUE(FileSystemFreeSpace().FreeBytes(::testing::TempDir()).has_value());
    EXPECT_FALSE(FileSystemFreeSpace().FreeBytes("Q:\\no-such-vantrel-folder").has_value());
}

// Wine reports no drive as removable unless told to, so the list is mostly
// empty here; what it does list must be whole.
TEST(RemovableCards, ListsOnlyWholeCardsOfTheDrivesThereAre) {
    const std::vector<RemovableCard> cards = ListRemovableCards();
    for (const RemovableCard& card : cards) {
        SCOPED_TRACE(card.folder);
        ASSERT_EQ(card.folder.size(), 3u);  // "E:\"
        EXPECT_EQ(card.folder.substr(1), ":\\");
        EXPECT_EQ(::GetDriveTypeW(ToWide(card.folder).c_str()), UINT(DRIVE_REMOVABLE));
        EXPECT_TRUE(card.fileSystem == "FAT" || card.fileSystem == "exFAT") << card.fileSystem;
        EXPECT_FALSE(card.label.empty());
        EXPECT_EQ(card.serial.size(), 8u);
    }
    EXPECT_TRUE(std::is_sorted(cards.begin(), cards.end(), [](const auto& a, const auto& b) {
        return a.folder < b.folder;
    }));
    // The system's own drive is fixed, never a card.
    wchar_t system[MAX_PATH] = {};
    ::GetWindowsDirectoryW(system, MAX_PATH);
    EXPECT_FALSE(CardHolding(ToUtf8(system), cards).has_value());
}

TEST(CardHolding, PicksTheCardByItsDriveWhateverTheCaseOrSeparator) {
    const std::vector<RemovableCard> cards = {
        {"E:\\", "PLAYER", "FAT", "51AC7670", std::nullopt},
        {"F:\\", "TRAVEL", "exFAT", "1234ABCD", std::nullopt},
    };
    const struct {
        std::string path;
        std::optional<std::string> holder;
    } rows[] = {
        {"E:\\Movies\\a.d3v", "PLAYER"}, {"e:/Movies/a.d3v", "PLAYER"},
        {"E:\\", "PLAYER"},               {"\\\\?\\F:\\long\\a.d3v", "TRAVEL"},
        {"C:\\Movies\\a.d3v", std::nullopt}, {"EF:\\a.d3v", std::nullopt},
        {"\\\\server\\E:\\a.d3v", std::nullopt},
    };
    for (const auto& row : rows) {
        const std::optional<RemovableCard> card = CardHolding(row.path, cards);
        EXPECT_EQ(card ? std::optional(card->label) : std::nullopt, row.holder) << row.path;
    }
}

// What Windows, and wine's mount manager, broadcast when a volume comes or
// goes. As a query it is sent, not posted: each window has been told once the
// call returns (a notice could not carry the volume's address to another thread).
void BroadcastVolume(WPARAM what) {
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << ('V' - 'A');
    DWORD recipients = BSM_APPLICATIONS;
    ::BroadcastSystemMessageW(BSF_QUERY | BSF_FORCEIFHUNG, &recipients, WM_DEVICECHANGE, what,
                              reinterpret_cast<LPARAM>(&volume));
}

TEST(CardChangeWatcher, StartsIsToldOfVolumesComingAndGoingAndStopsCleanly) {
    std::mutex mutex;
    std::condition_variable told;
    int notices[2] = {0, 0};
    {
        // Two at once: the second finds the window class the first made.
        CardChangeWatcher first([&] {
            std::lock_guard<std::mutex> lock(mutex);
            ++notices[0];
            told.notify_all();
        });
        CardChangeWatcher second([&] {
            std::lock_guard<std::mutex> lock(mutex);
            ++notices[1];
            told.notify_all();
        });
        ASSERT_TRUE(first.watching());
        ASSERT_TRUE(second.watching());
        BroadcastVolume(DBT_DEVICEARRIVAL);
        BroadcastVolume(DBT_DEVICEREMOVECOMPLETE);
        BroadcastVolume(DBT_DEVNODES_CHANGED);  // no volume came or went
        std::unique_lock<std::mutex> lock(mutex);
        // The deadline only bounds a failure.
        EXPECT_TRUE(told.wait_for(lock, std::chrono::seconds(20),
                                  [&] { return notices[0] >= 2 && notices[1] >= 2; }));
        EXPECT_EQ(notices[0], 2);
        EXPECT_EQ(notices[1], 2);
    }
    // Stopped: its window is gone, and nothing is told any more.
    BroadcastVolume(DBT_DEVICEARRIVAL);
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(notices[0], 2);
    EXPECT_EQ(notices[1], 2);
}

// The modes this program runs in as its own tests' child.
int RunAsChild(const std::string& mode) {
    if (mode == "--echo") {  // each word and '|', then "end" on standard error
        int n = 0;
        wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &n);
        for (int i = 2; i < n; ++i) std::printf("%s|", ToUtf8(words[i]).c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "end");
        return 0;
    }
    ChildProcess hanging;
    if (mode == "--starter") {
        if (!hanging.Start({SelfPath(), "--hang"}).has_value()) return 1;
        std::printf("%lld\n", static_cast<long long>(hanging.id()));
        std::fflush(stdout);
    }
    // Never ends by itself: only a kill does.
    ::SuspendThread(::GetCurrentThread());
    return 0;
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]).rfind("--", 0) == 0 &&
        std::string(argv[1]).rfind("--gtest", 0) != 0) {
        return vantrel::RunAsChild(argv[1]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
