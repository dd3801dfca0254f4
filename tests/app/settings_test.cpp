#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <limits>

#include "app/app_config.h"
#include "tests/test_files.h"

namespace {

std::string Bytes(const SavedSettings& s) {
    std::uint8_t bytes[16];
    EncodeSettings(s, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), 16);
}

TEST(ConfigSections, EachSectionIsFoundByItsExactNameAndTheFirstOfTwoCounts) {
    auto video = [](const char* text) {
        AppConfig c;
        c.ReadText(text);
        VideoSettings v;
        ReadVideoKeys(c.Section(SECTION_VIDEO), &v);
        return std::make_tuple(c.Has(SECTION_VIDEO), c.Has(SECTION_TABLES), v.width, v.height);
    };
    EXPECT_EQ(video("Video { width = 1; }; tables { }; video { width = 1024; height = 768; };"
                    "video { width = 640; };"),
              std::make_tuple(true, true, 1024, 768));
    EXPECT_EQ(video("sound { };"), std::make_tuple(false, false, 800, 600));
    // A screen no window could have keeps the default size.
    for (const char* odd : {"video { width = 0; height = 600; };", "video { width = 8193; };",
                            "video { width = 800; height = 2000000000; };"})
        EXPECT_EQ(video(odd), std::make_tuple(true, false, 800, 600)) << odd;
}

TEST(SettingsFile, SixteenBytesOfDepthFullScreenAndVolumesOnlyWholeFieldsAndNumbersTaken) {
    EXPECT_EQ(Bytes({32, 1, 0.5f, 0.25f}),
              std::string("\x20\0\0\0\x01\0\0\0\0\0\0\x3F\0\0\x80\x3E", 16));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Decoded over {16, 0, 0.6, 0.6}: a short file sets only its whole fields,
    // any full-screen value but 0 is 1, volumes are numbers from 0 to 1.
    auto taken = [](const SavedSettings& written, std::size_t size) {
        SavedSettings s{16, 0, 0.6f, 0.6f};
        DecodeSettings(reinterpret_cast<const std::uint8_t*>(Bytes(written).data()), size, &s);
        return Bytes(s);
    };
    const SavedSettings full{24, 1, 0.3f, 0.7f};
    EXPECT_EQ(taken(full, 3), Bytes({16, 0, 0.6f, 0.6f}));
    EXPECT_EQ(taken(full, 4), Bytes({24, 0, 0.6f, 0.6f}));
    EXPECT_EQ(taken(full, 7), Bytes({24, 0, 0.6f, 0.6f}));
    EXPECT_EQ(taken(full, 8), Bytes({24, 1, 0.6f, 0.6f}));
    EXPECT_EQ(taken(full, 15), Bytes({24, 1, 0.3f, 0.6f}));
    EXPECT_EQ(taken({24, 7, nan, inf}, 16), Bytes({24, 1, 0.6f, 1.0f}));
    EXPECT_EQ(taken({24, 1, -inf, 1e20f}, 16), Bytes({24, 1, 0.0f, 1.0f}));
    EXPECT_EQ(taken({24, 1, -0.5f, 1.0f}, 16), Bytes({24, 1, 0.0f, 1.0f}));
}

TEST(SettingsFile, WrittenBesideAndRenamedIntoPlaceReadableByAll) {
    ScratchDir dir("settings-rw");
    const std::string path = dir.Path() + "\\settings";
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), {32, 0, 0.125f, 1.0f}));
    EXPECT_EQ(ReadFile(dir.File("settings")), Bytes({32, 0, 0.125f, 1.0f}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
        << "no leftovers beside it";
    struct stat st;
    EXPECT_TRUE(stat(dir.File("settings").c_str(), &st) == 0 && (st.st_mode & 0777) == 0644);
    SavedSettings back;
    EXPECT_TRUE(ReadSettingsFile(path.c_str(), &back) && back.audioVolume == 0.125f);
    // A folder that does not exist: the write fails, nothing is claimed.
    EXPECT_FALSE(WriteSettingsFile((dir.Path() + "/no/such/settings").c_str(), back));
    EXPECT_FALSE(ReadSettingsFile((dir.Path() + "/none").c_str(), &back));
}

// (With no file the configuration's stand, and safe mode keeps a window: the
// game's own tests.)
TEST(SettingsFile, SavedDepthAndFullScreenReplaceTheConfiguredOnes) {
    ScratchDir dir("settings-video");
    WriteFile(dir.File("settings"), Bytes({24, 0, 1.0f, 1.0f}));
    VideoSettings v;
    v.fullscreen = 1;
    ApplySavedVideo(dir.File("settings").c_str(), false, &v);
    EXPECT_EQ(std::make_pair(v.bpp, v.fullscreen), std::make_pair(24, 0));
}

// A child writes the settings over and over, alternating two values; it is
// killed at moments spread over 30 ms after its first write. Whatever moment it dies, the file is
// one of the two, whole.
TEST(SettingsFile, KillingTheWriterAtAnyMomentLeavesTheOldOrTheNewFile) {
    ScratchDir dir("settings-kill");
    const std::string path = dir.File("settings");
    const SavedSettings a{16, 0, 0.25f, 1.0f}, b{32, 1, 0.75f, 1.0f};
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), a));
    int sawB = 0;
    for (int round = 0; round < 40; ++round) {
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The first write done, the moments count from here: a slow start
            // (a sanitizer's fork on a busy machine) would leave nothing to kill.
            WriteSettingsFile(path.c_str(), b);
            (void)!write(started[1], "", 1);
            for (unsigned i = 0;; ++i)
                WriteSettingsFile(path.c_str(), (i & 1) ? b : a);
        }
        char byte;
        ASSERT_EQ(read(started[0], &byte, 1), 1);
        close(started[0]);
        close(started[1]);
        usleep(useconds_t(round * 750));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string now = ReadFile(path);
        ASSERT_TRUE(now == Bytes(a) || now == Bytes(b)) << round << ": " << now.size() << " bytes";
        sawB += now == Bytes(b) ? 1 : 0;
    }
    EXPECT_GT(sawB, 0) << "the writer did get through";
}

}  // namespace
