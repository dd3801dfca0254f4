#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/video_decoder.h"
#include "render/avi_video.h"
#include "render/logo_film.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

// Clips made by the ffmpeg command: frame N is grey 8N at the top and has
// full blue in its bottom half, so both the frame and the row order show.
std::string MakeClip(const ScratchDir& dir, const std::string& name, const std::string& codec,
                     int frames = 30, int rate = 15, const char* size = "32x24") {
    std::string path = dir.File(name);
    std::string cmd = "ffmpeg -v error -y -f lavfi -i color=black:s=" + std::string(size) +
                      ":r=" + std::to_string(rate) + " -frames:v " + std::to_string(frames) +
                      " -vf \"format=rgb24,geq=r='N*8':g='N*8':b='if(lt(Y,H/2),0,255)'\" " + codec +
                      " " + path;
    std::string out;
    if (RunCommand(cmd, &out) != 0)
        return "";
    return path;
}

class AviVideoTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        std::string out;
        if (RunCommand("ffmpeg -version", &out) != 0)
            GTEST_SKIP() << "no ffmpeg command";
    }
    // The frame number the picture shows, read from its grey level.
    int Shown(const AviVideo& v) { return int(((PixelAt(v.picture.get(), 0, 0) >> 16) + 4) / 8); }
    // One folder per test: ctest runs tests side by side.
    ScratchDir dir{std::string("avi_video-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(AviVideoTest, EachUpdateShowsTheFrameTheUpdateBeforeChose) {
    std::string path = MakeClip(dir, "raw.avi", "-c:v rawvideo -pix_fmt bgr24");
    ASSERT_FALSE(path.empty());
    AviVideo clip(path.c_str(), "raw");
    ASSERT_TRUE(clip.IsOpen());

    clip.Play();
    EXPECT_EQ(Shown(clip), 0);
    std::vector<int> shown;
    int updates = 0;
    while (clip.playing && updates < 100) {
        clip.Update(0.1f);
        ++updates;
        shown.push_back(Shown(clip));
    }
    ASSERT_GE(shown.size(), 5u);
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 5),
              (std::vector<int>{0, 1, 3, 4, 6}));
    // Stops at the update at which elapsed x 15 reaches 30.
    EXPECT_EQ(updates, 20);
    EXPECT_EQ(shown.back(), 28);
    // Rows come out upright: grey on top, blue below.
    EXPECT_EQ(PixelAt(clip.picture.get(), 0, 0) & 0xFF, 0u);
    EXPECT_EQ(PixelAt(clip.picture.get(), 0, 23) & 0xFF, 0xFFu);

    clip.Play();
    EXPECT_EQ(Shown(clip), 0);
    EXPECT_TRUE(clip.playing);
}

TEST_F(AviVideoTest, ZeroRateShowsTheFirstFrameAndStops) {
    std::string path = MakeClip(dir, "rate0.avi", "-c:v rawvideo -pix_fmt bgr24");
    ASSERT_FALSE(path.empty());
    std::string bytes = ReadFile(path);
    std::size_t strh = bytes.find("strh");
    ASSERT_NE(strh, std::string::npos);
    bytes.replace(strh + 8 + 24, 4, std::string(4, '\0'));  // the stream's rate
    WriteFile(path, bytes);

    AviVideo clip(path.c_str(), "rate0");
    ASSERT_TRUE(clip.IsOpen());
    clip.Play();
    clip.Update(0.1f);
    EXPECT_FALSE(clip.playing);
    EXPECT_EQ(Shown(clip), 0);
}

TEST_F(AviVideoTest, BadFilesSayCantLoadOnceAndCutClipsKeepTheirLastGoodFrame) {
    std::string raw = ReadFile(MakeClip(dir, "good.avi", "-c:v rawvideo -pix_fmt bgr24"));
    ASSERT_FALSE(raw.empty());
    WriteFile(dir.File("text.avi"), "this is not a film at all, only words");
    WriteFile(dir.File("headers_only.avi"), raw.substr(0, 300));
    WriteFile(dir.File("riff_only.avi"), raw.substr(0, 12));
    for (const char* name : {"text.avi", "headers_only.avi", "riff_only.avi", "missing.avi"}) {
        SCOPED_TRACE(name);
        std::string path = dir.File(name);
        std::unique_ptr<AviVideo> clip;
        std::string log = LogAddedBy([&] { clip = std::make_unique<AviVideo>(path.c_str(), "x"); });
        EXPECT_EQ(log, "can't load '" + path + "'...\r\n");
        EXPECT_FALSE(clip->IsOpen());
        clip->Play();
        clip->Update(0.1f);
        EXPECT_FALSE(clip->playing);
    }
    // A clip cut short plays up to its last good frame.
    WriteFile(dir.File("cut.avi"), raw.substr(0, raw.size() / 3));
    AviVideo cut(dir.File("cut.avi").c_str(), "cut");
    ASSERT_TRUE(cut.IsOpen());
    cut.Play();
    while (cut.playing)
        cut.Update(0.1f);
    EXPECT_GT(Shown(cut), 0);
    EXPECT_LT(Shown(cut), 12);
}

// Compressed clips of odd widths decode into rows exactly as wide as the
// picture: nothing is written past the last byte of the last row.
TEST_F(AviVideoTest, DecodingWritesNothingPastTheRows) {
    for (const char* size : {"200x144", "34x18", "7x5"}) {
        SCOPED_TRACE(size);
        std::string path = MakeClip(dir, std::string("w") + size + ".avi",
                                    "-c:v mpeg4 -pix_fmt yuv420p", 3, 15, size);
        ASSERT_FALSE(path.empty());
        platform::VideoDecoder decoder;
        ASSERT_TRUE(decoder.Open(path.c_str()));
        const int stride = decoder.Width() * 3;
        const std::size_t bytes = std::size_t(stride) * std::size_t(decoder.Height());
        std::vector<std::uint8_t> rows(bytes + 256, 0xA5);
        ASSERT_TRUE(decoder.DecodeFrame(2, rows.data(), stride));
        EXPECT_GT(rows[0], 240) << "bottom row first: blue";
        for (std::size_t i = bytes; i < rows.size(); ++i)
            ASSERT_EQ(rows[i], 0xA5) << "written " << (i - bytes) << " bytes past the rows";
    }
}

TEST_F(AviVideoTest, LogoFilmPlaysToItsEndOrIsPassedOver) {
    std::string path = MakeClip(dir, "logo.avi", "-c:v mjpeg", 6, 30);
    ASSERT_FALSE(path.empty());
    int shown = PlayLogoFilm(path.c_str(), false);
    EXPECT_GE(shown, 1);
    EXPECT_LE(shown, 6);
    std::string log =
        LogAddedBy([&] { EXPECT_EQ(PlayLogoFilm(dir.File("none.avi").c_str(), true), 0); });
    EXPECT_EQ(log, "");
}

}  // namespace
