#include <string>

#include "menu/game_screen.h"
#include "render/avi_video.h"
#include "tests/menu/menu_fixture.h"

namespace {

class GameScreenTest : public MenuTest {
protected:
    void Read(const std::string& body) {
        const std::string text = "menu { " + body + " };";
        ZarnikScr scr(text.data(), int(text.size()));
        ASSERT_TRUE(screen.Read(SubBlock(WholeScript(scr), 1)));
    }
    void DrawScreen() {
        display.BackSurface()->Fill(0);
        screen.Draw(display.BackPicture());
    }
    GameScreen screen;
};

TEST_F(GameScreenTest, TextWindowsFormatTheTableValuesCentredOnTheirX) {
    Read(
        "font = \"" + FontFile() +
        "\"; atX = 10; atY = 20; submenu { x = 1; }; other { };"
        " scoretext { x = 100; y = 0; }; playertext { x = 300; }; balltext { x = 500; y = 100; };");
    ASSERT_EQ(screen.windows.Count, 3) << "submenu and unknown blocks are skipped";
    Table table;
    table.score = 1234;
    table.currentBallNumber = 3;
    table.playerName = "ann";
    screen.Update(0.01f, GameScreenValuesOf(table));
    auto text = [&](int i) {
        return std::string(dynamic_cast<GameTextWindow*>(screen.windows[i].get())->text.view());
    };
    EXPECT_EQ(text(0), "1234");
    EXPECT_EQ(text(1), "ann");
    EXPECT_EQ(text(2), "Ball \xB9 3");
    DrawScreen();
    // "1234" is 32 pixels wide, centred on 10 + 100.
    EXPECT_EQ(Pixel(93, 20), 0u);
    EXPECT_EQ(Pixel(94, 20), 0xFFFFFFu);
    EXPECT_EQ(Pixel(125, 27), 0xFFFFFFu);
    EXPECT_EQ(Pixel(126, 20), 0u);
    // "Ball \xB9 3": 8 glyphs centred on 510, 120 down.
    EXPECT_EQ(Pixel(478, 120), 0xFFFFFFu);
    EXPECT_EQ(Pixel(477, 120), 0u);

    Read("font = \"" + dir.Path() + "\\font.png\"; scoretext { };");
    EXPECT_EQ(screen.font, nullptr);
    screen.Update(0.01f, GameScreenValuesOf(table));
    DrawScreen();
    EXPECT_EQ(Pixel(0, 0), 0u) << "without a font the texts draw nothing";
}

TEST_F(GameScreenTest, ShowByNameIgnoresCaseAndTheLastOneWins) {
    Read("font = \"" + FontFile() +
         "\";"
         " messagewindow { y = 200; message { name = \"bonus\"; text = \"a\"; };"
         "   message { name = \"Bonus\"; text = \"bb\"; }; message { name = \"jackpot\"; text = "
         "\"c\"; }; };"
         " messagewindow { y = 300; message { name = \"JACKPOT\"; text = \"dddd\"; }; };"
         " videowindow { y = 400; addvideo { name = \"clip\"; filename = \"none.avi\"; }; };");
    auto* first = dynamic_cast<GameMessageWindow*>(screen.windows[0].get());
    auto* second = dynamic_cast<GameMessageWindow*>(screen.windows[1].get());
    auto* video = dynamic_cast<GameVideoWindow*>(screen.windows[2].get());
    EXPECT_TRUE(screen.Show("BONUS"));
    EXPECT_EQ(first->current, 1);
    screen.ShowItem("jackpot");
    EXPECT_EQ(second->current, 0) << "the later window is asked first";
    EXPECT_EQ(first->current, 1);
    EXPECT_FALSE(screen.Show("nothing"));
    DrawScreen();
    EXPECT_EQ(Pixel(15, 200), 0xFFFFFFu);
    EXPECT_EQ(Pixel(16, 200), 0u) << "\"bb\" is two glyphs";
    EXPECT_EQ(Pixel(31, 300), 0xFFFFFFu);
    // A clip that failed to load is listed: shown, it plays nothing and ends.
    EXPECT_TRUE(screen.Show("Clip"));
    EXPECT_EQ(video->current, video->videos[0].get());
    screen.Update(0.01f, GameScreenValues());
    EXPECT_EQ(video->current, nullptr);
}

TEST_F(GameScreenTest, AClipPlaysToItsLastFrameThenTheWindowIsEmpty) {
    std::string out;
    const std::string path = dir.File("c.avi");
    if (RunCommand("ffmpeg -v error -y -f lavfi -i color=blue:s=16x8:r=10 -frames:v 3 "
                   "-c:v rawvideo -pix_fmt bgr24 " +
                       path,
                   &out) != 0)
        GTEST_SKIP() << "no ffmpeg command";
    Read("atX = 100; videowindow { x = 5; y = 7; addvideo { name = \"c\"; filename = \"" + path +
         "\"; }; };");
    EXPECT_TRUE(screen.Show("c"));
    DrawScreen();
    EXPECT_GT(Pixel(105, 7) & 0xFF, 0xF0u) << "the clip's blue at the window's place";
    int updates = 0;
    for (; updates < 10; ++updates) {
        DrawScreen();
        if (Pixel(105, 7) == 0u)
            break;
        screen.Update(0.1f, GameScreenValues());
    }
    EXPECT_EQ(updates, 3) << "three frames at ten a second";
    EXPECT_EQ(Pixel(104, 7), 0u);
}

}  // namespace
