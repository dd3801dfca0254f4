#include <gtest/gtest.h>

#include "archive/resource_archive.h"
#include "render/frame_animation.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

// An animation of `count` empty slots: Advance needs only the count.
struct Steps : FrameAnimation {
    explicit Steps(int count) : FrameAnimation("", "", 0, 0, 0) {
        for (int i = 0; i < count; ++i)
            frames.Append(nullptr);
        playing = true;
    }
};

TEST(FrameAnimationAdvance, WrapsStopsAndCarriesTheRest) {
    struct Case {
        int count, frame;
        bool loop, forward;
        float dt;
        int frameAfter;
        bool playingAfter;
    } cases[] = {
        {10, 0, true, true, 0.12f, 2, true},   // whole frame times, 0.02 carried
        {4, 3, true, true, 0.05f, 0, true},    // loop wraps
        {4, 3, false, true, 0.05f, 3, false},  // no loop: stops at the end
        {4, 1, false, false, 0.5f, 0, false},  // backwards: stops at the start
        {0, 0, true, true, 1.0f, 0, true},     // empty
    };
    for (const Case& c : cases) {
        Steps a(c.count);
        a.frame = c.frame, a.loop = c.loop, a.forward = c.forward;
        a.Advance(c.dt);
        EXPECT_EQ(a.frame, c.frameAfter) << c.count << " " << c.frame;
        EXPECT_EQ(a.playing, c.playingAfter) << c.count << " " << c.frame;
    }
    Steps a(10);
    a.Advance(0.12f);
    EXPECT_NEAR(a.elapsed, 0.02f, 1e-6f);
    a.playing = false;
    a.Advance(1.0f);
    EXPECT_EQ(a.frame, 2);
    Steps zero(3);
    zero.frameTime = 0.0f;
    zero.Advance(1.0f);
    EXPECT_EQ(zero.frame, 0);
    Steps huge(7);
    huge.Advance(1e9f);
    EXPECT_TRUE(huge.frame >= 0 && huge.frame < 7);
}

TEST(FrameAnimationAdvance, LimitedPlaysEndExactlyNFramesAway) {
    Steps a(10);
    a.playing = false;
    a.frame = 1;
    ASSERT_TRUE(a.Play(2, true));
    EXPECT_FALSE(a.Play(2, true));  // already playing
    a.Advance(0.25f);               // five frames' worth
    EXPECT_EQ(a.frame, 3);
    EXPECT_FALSE(a.playing);
    EXPECT_EQ(a.remaining, -1);

    Steps b(10);
    b.playing = false;
    ASSERT_TRUE(b.Play(3, false));
    b.Advance(0.05f);
    EXPECT_EQ(b.frame, 9);
    EXPECT_TRUE(b.playing);
    b.Advance(0.1f);
    EXPECT_EQ(b.frame, 7);
    EXPECT_FALSE(b.playing);
}

using ArchiveFrames = DisplayTest;

TEST_F(ArchiveFrames, ValidOnlyWithEnoughEntriesAndDecodesTheDrawnFrame) {
    std::string pak = PackArchive({{"data\\s0000.bmp", SolidBmp(2, 2, 0x0000AA)},
                                   {"data\\s0001.bmp", SolidBmp(2, 2, 0x0000BB)},
                                   {"data\\s0002.bmp", SolidBmp(2, 2, 0x0000CC)}});
    ResourceArchive archive;
    ASSERT_TRUE(archive.OpenMemory(reinterpret_cast<const std::uint8_t*>(pak.data()), pak.size()));
    EXPECT_FALSE(ArchiveAnimation("data\\s", ".bmp", 4, 0, &archive).valid);
    ArchiveAnimation a("data\\S", ".BMP", 3, 0, &archive);
    ASSERT_TRUE(a.valid);
    a.playing = true;
    a.frameTime = 0.1f;
    a.Advance(0.25f);
    EXPECT_EQ(a.frame, 2);
    a.Draw(Back(), 0, 0);
    EXPECT_EQ(PixelAt(Back(), 1, 1), 0x0000CCu);
    // The same frame again is not decoded again: a mark on the held picture stays.
    a.picture->Surface()->Fill(platform::PackColor(display->Format(), 0x12, 0x34, 0x56));
    a.Draw(Back(), 0, 0);
    EXPECT_EQ(PixelAt(Back(), 1, 1), 0x123456u);
    a.SetFrame(1);
    a.Draw(Back(), 0, 0);
    EXPECT_EQ(PixelAt(Back(), 1, 1), 0x0000BBu);
}

}  // namespace
