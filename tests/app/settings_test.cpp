#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#include "app/app_config.h"
#include "tests/test_files.h"

namespace {

std::string SettingsBytes(std::int32_t bpp, std::int32_t full, float audio, float cd) {
    std::string s(16, '\0');
    std::memcpy(&s[0], &bpp, 4);
    std::memcpy(&s[4], &full, 4);
    std::memcpy(&s[8], &audio, 4);
    std::memcpy(&s[12], &cd, 4);
    return s;
}

TEST(ConfigSections, EachSectionIsFoundByItsExactNameAndTheFirstOfTwoCounts) {
    AppConfig c;
    c.ReadText(
        "Video { width = 1; };\n"
        "video { width = 1024; height = 768; fullscreen = 1; systemfont = \"data\\f.fnt\"; };\n"
        "video { width = 640; };\n"
        "tables { tablecount = 3; };\n"
        "sound { anything = 1; };\n");
    EXPECT_TRUE(c.Has(SECTION_VIDEO));
    EXPECT_TRUE(c.Has(SECTION_TABLES));
    EXPECT_TRUE(c.Has(SECTION_SOUND));
    EXPECT_FALSE(c.Has(SECTION_STARTUP));
    EXPECT_FALSE(c.Has(SECTION_MENU));
    EXPECT_FALSE(c.Has(SECTION_POINTERS));

    VideoSettings v;
    ReadVideoKeys(c.Section(SECTION_VIDEO), &v);
    EXPECT_EQ(v.width, 1024);  // not "Video", not the second "video"
    EXPECT_EQ(v.height, 768);
    EXPECT_EQ(v.fullscreen, 1);
    EXPECT_EQ(v.bpp, 16);  // absent: default
    EXPECT_STREQ(v.systemfont.c_str(), "data\\f.fnt");

    // A screen no window could have keeps the default size.
    for (const char* odd : {"video { width = 0; height = 600; };", "video { width = -800; };",
                            "video { width = 800; height = 2000000000; };"}) {
        AppConfig o;
        o.ReadText(odd);
        VideoSettings ov;
        ReadVideoKeys(o.Section(SECTION_VIDEO), &ov);
        EXPECT_EQ(ov.width, 800) << odd;
        EXPECT_EQ(ov.height, 600) << odd;
    }

    // A missing section reads as an empty block: every default stays.
    StartupSettings s;
    ReadStartupKeys(c.Section(SECTION_STARTUP), &s);
    EXPECT_TRUE(s.loading.empty());
    EXPECT_FLOAT_EQ(s.splashtime, 0.0625f);
}

TEST(ConfigSections, StartupKeysTakeOnlyValuesOfTheirKind) {
    AppConfig c;
    c.ReadText(
        "startup { loading = \"data\\menu\\loading.bmp\"; splashtime = 1; splashcount = 12; "
        "splash_x = 300; splash_y = 2.5; mainmenu = data; };");
    StartupSettings s;
    ReadStartupKeys(c.Section(SECTION_STARTUP), &s);
    EXPECT_STREQ(s.loading.c_str(), "data\\menu\\loading.bmp");
    EXPECT_FLOAT_EQ(s.splashtime, 0.0625f);  // an integer is no real
    EXPECT_EQ(s.splashcount, 12);
    EXPECT_EQ(s.splash_x, 300);
    EXPECT_EQ(s.splash_y, 0);  // a real is no integer
    EXPECT_STREQ(s.mainmenu.c_str(), "data");

    // Words are cut to their 256-byte buffers.
    AppConfig longWord;
    longWord.ReadText(("startup { mainmenu = \"" + std::string(400, 'm') + "\"; };").c_str());
    ReadStartupKeys(longWord.Section(SECTION_STARTUP), &s);
    EXPECT_EQ(s.mainmenu.size(), 255u);
}

TEST(SettingsFile, TheSixteenBytesAreDepthFullScreenAndTheTwoVolumesLittleEndian) {
    SavedSettings s;
    s.bpp = 32;
    s.fullscreen = 1;
    s.audioVolume = 0.5f;
    s.cdVolume = 0.25f;
    std::uint8_t bytes[16];
    EncodeSettings(s, bytes);
    const std::uint8_t expected[16] = {32, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0x3F, 0, 0, 0x80, 0x3E};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 16));

    SavedSettings back;
    DecodeSettings(bytes, 16, &back);
    EXPECT_EQ(back.bpp, 32);
    EXPECT_EQ(back.fullscreen, 1);
    EXPECT_FLOAT_EQ(back.audioVolume, 0.5f);
    EXPECT_FLOAT_EQ(back.cdVolume, 0.25f);
}

TEST(SettingsFile, AShortFileSetsOnlyTheFieldsItHolds) {
    const std::string full = SettingsBytes(24, 1, 0.3f, 0.7f);
    struct Case {
        std::size_t size;
        std::int32_t bpp, fullscreen;
        float audio, cd;
    } cases[] = {
        {0, 16, 0, 1.0f, 1.0f},  {3, 16, 0, 1.0f, 1.0f},  {4, 24, 0, 1.0f, 1.0f},
        {8, 24, 1, 1.0f, 1.0f},  {11, 24, 1, 1.0f, 1.0f}, {12, 24, 1, 0.3f, 1.0f},
        {16, 24, 1, 0.3f, 0.7f},
    };
    for (const Case& c : cases) {
        SavedSettings s;
        DecodeSettings(reinterpret_cast<const std::uint8_t*>(full.data()), c.size, &s);
        EXPECT_EQ(s.bpp, c.bpp) << c.size;
        EXPECT_EQ(s.fullscreen, c.fullscreen) << c.size;
        EXPECT_FLOAT_EQ(s.audioVolume, c.audio) << c.size;
        EXPECT_FLOAT_EQ(s.cdVolume, c.cd) << c.size;
    }
}

TEST(SettingsFile, VolumesStayNumbersFromZeroToOne) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float stored, read;
    } cases[] = {{nan, 0.6f},   {inf, 1.0f},  {-inf, 0.0f}, {1e20f, 1.0f},
                 {-0.5f, 0.0f}, {0.0f, 0.0f}, {1.0f, 1.0f}};
    for (const Case& c : cases) {
        const std::string bytes = SettingsBytes(16, 7, c.stored, c.stored);
        SavedSettings s;
        s.audioVolume = s.cdVolume = 0.6f;
        DecodeSettings(reinterpret_cast<const std::uint8_t*>(bytes.data()), 16, &s);
        EXPECT_EQ(s.audioVolume, c.read) << c.stored;
        EXPECT_EQ(s.cdVolume, c.read) << c.stored;
        EXPECT_EQ(s.fullscreen, 1);  // any non-zero is full screen
    }
}

TEST(SettingsFile, WrittenAndReadBackThroughTheDataFolder) {
    ScratchDir dir("settings-rw");
    const std::string path = dir.Path() + "\\settings";
    SavedSettings s;
    s.bpp = 32;
    s.audioVolume = 0.125f;
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), s));
    EXPECT_EQ(ReadFile(dir.File("settings")), SettingsBytes(32, 0, 0.125f, 1.0f));

    SavedSettings back;
    ASSERT_TRUE(ReadSettingsFile(path.c_str(), &back));
    EXPECT_FLOAT_EQ(back.audioVolume, 0.125f);

    // No leftovers beside it.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);

    // A folder that does not exist: the write fails, nothing is claimed.
    EXPECT_FALSE(WriteSettingsFile((dir.Path() + "/no/such/settings").c_str(), s));
    SavedSettings untouched;
    EXPECT_FALSE(ReadSettingsFile((dir.Path() + "/none").c_str(), &untouched));
}

TEST(SettingsFile, SavedDepthAndFullScreenReplaceTheConfiguredOnesAndSafeModeKeepsAWindow) {
    ScratchDir dir("settings-video");
    const std::string path = dir.File("settings");
    VideoSettings v;
    v.fullscreen = 1;
    v.bpp = 16;

    VideoSettings none = v;
    ApplySavedVideo((path + "-missing").c_str(), false, &none);
    EXPECT_EQ(none.fullscreen, 1);
    EXPECT_EQ(none.bpp, 16);

    WriteFile(path, SettingsBytes(32, 0, 1.0f, 1.0f));
    VideoSettings windowed = v;
    ApplySavedVideo(path.c_str(), false, &windowed);
    EXPECT_EQ(windowed.fullscreen, 0);
    EXPECT_EQ(windowed.bpp, 32);

    WriteFile(path, SettingsBytes(32, 1, 1.0f, 1.0f));
    VideoSettings safe = v;
    ApplySavedVideo(path.c_str(), true, &safe);
    EXPECT_EQ(safe.fullscreen, 0);
}

// A child writes the settings over and over, alternating two values; it is
// killed at random moments. Whatever moment it dies, the file is one of the
// two, whole.
TEST(SettingsFile, KillingTheWriterAtAnyMomentLeavesTheOldOrTheNewFile) {
    ScratchDir dir("settings-kill");
    const std::string path = dir.File("settings");
    SavedSettings a, b;
    a.bpp = 16;
    a.audioVolume = 0.25f;
    b.bpp = 32;
    b.fullscreen = 1;
    b.audioVolume = 0.75f;
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), a));
    const std::string bytesA = SettingsBytes(16, 0, 0.25f, 1.0f);
    const std::string bytesB = SettingsBytes(32, 1, 0.75f, 1.0f);

    std::mt19937 random(12345);
    int sawB = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i)
                WriteSettingsFile(path.c_str(), (i & 1) ? a : b);
        }
        usleep(std::uniform_int_distribution<int>(0, 30000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string now = ReadFile(path);
        ASSERT_TRUE(now == bytesA || now == bytesB)
            << "round " << round << ": " << now.size() << " bytes";
        sawB += now == bytesB ? 1 : 0;
    }
    EXPECT_GT(sawB, 0);  // the writer did get through
}

}  // namespace
