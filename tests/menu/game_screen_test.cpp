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
    std::vector<std::string> texts;
    for (auto& w : screen.windows)
        texts.emplace_back(dynamic_cast<GameTextWindow*>(w.get())->text.view());
    EXPECT_EQ(texts, (std::vector<std::string>{"1234", "ann", "Ball \xB9 3"}));
    DrawScreen();
    // "1234" is 32 pixels wide, centred on 10 + 100; "Ball \xB9 3" is 8
    // glyphs centred on 510, 120 down.
    ExpectShown({{93, 20, 0}, {94, 20, 0xFFFFFF}, {125, 27, 0xFFFFFF}, {126, 20, 0}});
    ExpectShown({{477, 120, 0}, {478, 120, 0xFFFFFF}});

    // A font of another kind gives none; the texts then draw nothing.
    Read("font = \"font.png\"; scoretext { };");
    EXPECT_EQ(screen.font, nullptr);
    screen.Update(0.01f, GameScreenValuesOf(table));
    DrawScreen();
}

TEST_F(GameScreenTest, ShowByNameIgnoresCaseAndTheLastOneWins) {
    Read("font = \"" + FontFile() +
         "\"; messagewindow { y = 200; message { name = \"bonus\"; text = \"a\"; };"
         "   message { name = \"Bonus\"; text = \"bb\"; }; message { name = \"jackpot\"; };};"
         " messagewindow { y = 300; message { name = \"JACKPOT\"; text = \"dddd\"; }; };"
         " videowindow { y = 400; addvideo { name = \"clip\"; filename = \"none.avi\"; }; };");
    auto* first = dynamic_cast<GameMessageWindow*>(screen.windows[0].get());
    auto* video = dynamic_cast<GameVideoWindow*>(screen.windows[2].get());
    EXPECT_TRUE(screen.Show("BONUS"));
    EXPECT_EQ(first->current, 1);
    screen.ShowItem("jackpot");
    EXPECT_EQ(first->current, 1) << "the later window is asked first";
    EXPECT_FALSE(screen.Show("nothing"));
    DrawScreen();
    ExpectShown({{15, 200, 0xFFFFFF}, {16, 200, 0}, {31, 300, 0xFFFFFF}});
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
    std::vector<bool> blue;
    for (int i = 0; i < 4; ++i, screen.Update(0.1f, GameScreenValues())) {
        DrawScreen();
        blue.push_back((Pixel(105, 7) & 0xFF) > 0xF0 && Pixel(104, 7) == 0u);
    }
    EXPECT_EQ(blue, (std::vector<bool>{true, true, true, false})) << "three frames at ten a second";
}

}  // namespace
