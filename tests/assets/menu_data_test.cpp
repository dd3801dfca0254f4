// The configuration and the main menu as the game's own readers take them
// from the packed archive: sections, menu blocks and every file they name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "archive/resource_archive.h"
#include "render/avi_video.h"
#include "render/cursor.h"
#include "render/display.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/render/render_fixture.h"

namespace {

class MenuData : public ::testing::Test {
protected:
    void SetUp() override {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        oldDir_ = cwd;
        ASSERT_EQ(chdir(ZARNIK_BINARY_DIR), 0);
        ASSERT_TRUE(archive_.Open("data.pak"));
        SetResourceProvider(&archive_);
        display_.bpp = 32;
        ASSERT_TRUE(display_.Initialise(nullptr));
    }
    void TearDown() override {
        SetResourceProvider(nullptr);
        ASSERT_EQ(chdir(oldDir_.c_str()), 0);
    }
    bool InArchive(const std::string& path) {
        const std::uint8_t* data = nullptr;
        std::uint32_t size = 0;
        return archive_.Find(path.c_str(), &data, &size) && size > 0;
    }
    // The body of the first top-level block named `name`.
    static bool Section(const ScriptBlock& whole, const char* name, ScriptBlock* out) {
        bool found = false;
        ForEachStatement(whole, [&](int i) {
            if (!found && whole.IsWord(i, name) && whole.IsPunct(i + 1, '{')) {
                *out = SubBlock(whole, i + 1);
                found = true;
            }
        });
        return found;
    }

    std::string oldDir_;
    ResourceArchive archive_;
    Display display_;
};

TEST_F(MenuData, ConfigurationHasEverySectionWithTheValuesTheGameStartsFrom) {
    ZarnikScr scr("data\\config.script");
    ASSERT_GT(scr.TokenCount(), 0);
    const ScriptBlock whole = WholeScript(scr);
    ScriptBlock video, startup, tables, pointers, menu, sound;
    ASSERT_TRUE(Section(whole, "video", &video));
    ASSERT_TRUE(Section(whole, "startup", &startup));
    ASSERT_TRUE(Section(whole, "sound", &sound));
    ASSERT_TRUE(Section(whole, "menu", &menu));
    ASSERT_TRUE(Section(whole, "tables", &tables));
    ASSERT_TRUE(Section(whole, "pointers", &pointers));

    std::int32_t width = 0, height = 0, bpp = 0, fullscreen = -1;
    FixedString<260> systemfont;
    ReadKeys(video, {KeyDef::Int("width", &width), KeyDef::Int("height", &height),
                     KeyDef::Int("bpp", &bpp), KeyDef::Int("fullscreen", &fullscreen),
                     KeyDef::Word("systemfont", &systemfont)});
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(bpp, 16);
    EXPECT_EQ(fullscreen, 0);
    EXPECT_TRUE(InArchive(systemfont.c_str())) << systemfont.c_str();

    FixedString<256> loading, mainmenu, splashstart, splashend;
    std::int32_t splashcount = 0, sx = -1, sy = -1;
    float splashtime = 0.0f;
    ReadKeys(startup,
             {KeyDef::Word("loading", &loading), KeyDef::Word("mainmenu", &mainmenu),
              KeyDef::Word("splashstart", &splashstart), KeyDef::Word("splashend", &splashend),
              KeyDef::Int("splashcount", &splashcount), KeyDef::Real("splashtime", &splashtime),
              KeyDef::Int("splash_x", &sx), KeyDef::Int("splash_y", &sy)});
    EXPECT_TRUE(InArchive(loading.c_str()));
    EXPECT_TRUE(InArchive(mainmenu.c_str()));
    EXPECT_GT(splashtime, 0.0f);  // written as a real, else the default stays

    // The splash plays from the archive: its frames are consecutive entries.
    ArchiveAnimation splash(splashstart.c_str(), splashend.c_str(), splashcount, 0, &archive_);
    ASSERT_TRUE(splash.valid);
    ASSERT_GE(splashcount, 8);
    splash.SetFrame(splashcount - 1);
    Picture* back = display_.BackPicture();
    back->Surface()->Fill(0);
    splash.Draw(back, sx, sy);
    EXPECT_NE(PixelAt(back, sx + 1, sy + 1), 0u) << "the splash's last frame is drawn whole";

    std::int32_t tablecount = 0;
    FixedString<260> filestart, fileend;
    ReadKeys(tables, {KeyDef::Int("tablecount", &tablecount), KeyDef::Word("filestart", &filestart),
                      KeyDef::Word("fileend", &fileend)});
    ASSERT_EQ(tablecount, 3);
    for (int i = 0; i < tablecount; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%04d", i);
        const std::string path = std::string(filestart.c_str()) + number + fileend.c_str();
        EXPECT_TRUE(InArchive(path)) << path;
    }

    // The pointers: the arrow the menus select, with its tip at the pointer.
    CursorSet cursors;
    ASSERT_TRUE(cursors.Read(pointers));
    ASSERT_EQ(cursors.cursors.Count, 2);
    ASSERT_TRUE(cursors.Select("ACTM"));
    cursors.visible = true;
    back->Surface()->Fill(0);
    cursors.Update(0.1f, 100, 100);
    cursors.Draw(back);
    EXPECT_NE(PixelAt(back, 100, 100), 0u);
    EXPECT_EQ(PixelAt(back, 99, 99), 0u);
    ASSERT_TRUE(cursors.Select("WAIT"));
    EXPECT_EQ(static_cast<AnimatedCursor*>(cursors.cursors[1])->image->Count(), 12);
}

// The films and the game screen's clips open in the game's decoder, fit
// their window, and play through to their last frame.
TEST_F(MenuData, FilmsAndClipsDecodeAndFitTheirWindows) {
    ZarnikScr scr("data\\config.script");
    ScriptBlock menu;
    ASSERT_TRUE(Section(WholeScript(scr), "menu", &menu));
    std::vector<std::string> clips;
    // The clip files: every "filename" of an "addvideo" in the video window.
    for (int i = 0; i + 3 < scr.TokenCount(); ++i) {
        if (TokIsWord(scr, i, "filename") && TokType(scr, i + 2) == TOK_WORD &&
            TokText(scr, i + 2).find("clips") != std::string_view::npos)
            clips.emplace_back(TokText(scr, i + 2));
    }
    ASSERT_GE(clips.size(), 4u);
    struct Film {
        std::string path;
        int maxWidth, maxHeight;
    };
    std::vector<Film> films = {{"data\\logo\\logo.avi", 800, 600},
                               {"data\\logo\\wlogo.avi", 800, 600}};
    for (const std::string& c : clips)
        films.push_back({c, 200, 150});  // the window in the side panel
    for (const Film& f : films) {
        AviVideo video(f.path.c_str(), "film");
        ASSERT_TRUE(video.IsOpen()) << f.path;
        EXPECT_LE(video.width, f.maxWidth) << f.path;
        EXPECT_LE(video.height, f.maxHeight) << f.path;
        EXPECT_GE(video.frameCount, 20) << f.path;
        video.Play();
        int updates = 0;
        while (video.playing && updates < 1000) {
            video.Update(0.05f);
            ++updates;
        }
        EXPECT_FALSE(video.playing) << f.path;
        EXPECT_EQ(video.shownFrame, video.frameCount - 1) << f.path << ": the last frame is shown";
    }
}

// Walks a menu block as the menu reader does: class blocks are children,
// other nested blocks (SoundPack) are skipped.
struct MenuWalk {
    const ResourceArchive* archive;
    std::set<std::string> names;
    std::vector<std::string> missing;
    int controls = 0;

    bool Has(const std::string& path) const {
        const std::uint8_t* data = nullptr;
        std::uint32_t size = 0;
        return archive->Find(path.c_str(), &data, &size) && size > 0;
    }

    void Control(const std::string& cls, const ScriptBlock& block) {
        ++controls;
        static const char* kClasses[] = {"MenuWrapper",    "MenuPicture",     "MenuAnimation",
                                         "MenuButton",     "MenuSlider",      "MenuSwitch",
                                         "MenuMsgWindow",  "MenuEditControl", "MenuRoundSlider",
                                         "MenuGetControl", "MenuSwitchButton"};
        FixedString<32> name;
        FixedString<260> filename, filestart, fileend, picname, font, cfstart, cfend, up, down;
        std::int32_t filecount = 0, cfcount = 0;
        ReadKeys(block, {KeyDef::Word("name", &name), KeyDef::Word("filename", &filename),
                         KeyDef::Word("filestart", &filestart), KeyDef::Word("fileend", &fileend),
                         KeyDef::Int("filecount", &filecount), KeyDef::Word("picname", &picname),
                         KeyDef::Word("font", &font), KeyDef::Word("CFStart", &cfstart),
                         KeyDef::Word("CFEnd", &cfend), KeyDef::Int("CFCount", &cfcount)});
        if (!name.empty())
            names.insert(name.c_str());
        for (const FixedString<260>* f : {&filename, &picname, &font})
            if (!f->empty() && !Has(f->c_str()))
                missing.push_back(cls + " " + f->c_str());
        auto frames = [&](const FixedString<260>& start, const FixedString<260>& end, int count) {
            if (start.empty())
                return;
            if (count < 1)
                missing.push_back(cls + " without frames: " + start.c_str());
            for (int i = 0; i < count; ++i) {
                char number[16];
                std::snprintf(number, sizeof number, "%04d", i);
                const std::string path = std::string(start.c_str()) + number + end.c_str();
                if (!Has(path))
                    missing.push_back(path);
            }
        };
        frames(filestart, fileend, filecount);
        frames(cfstart, cfend, cfcount);
        ForEachStatement(block, [&](int i) {
            if (block.IsWord(i, "SoundPack") && block.IsPunct(i + 1, '{')) {
                const ScriptBlock pack = SubBlock(block, i + 1);
                ReadKeys(pack, {KeyDef::Word("up", &up), KeyDef::Word("down", &down)});
                for (const FixedString<260>* s : {&up, &down})
                    if (s->empty() || !Has(s->c_str()))
                        missing.push_back(cls + " sound " + s->c_str());
                return;
            }
            for (const char* c : kClasses) {
                if (block.IsWord(i, c) && block.IsPunct(i + 1, '{')) {
                    Control(c, SubBlock(block, i + 1));
                    return;
                }
            }
        });
    }
};

TEST_F(MenuData, MainMenuReadsAsControlBlocksAndEveryFileItNamesIsPacked) {
    ZarnikScr scr("data\\menu\\main.script");
    ASSERT_GT(scr.TokenCount(), 0);
    const ScriptBlock whole = WholeScript(scr);
    ASSERT_TRUE(whole.IsWord(0, "MenuWrapper"));
    ASSERT_TRUE(whole.IsPunct(1, '{'));
    MenuWalk walk{&archive_, {}, {}, 0};
    walk.Control("MenuWrapper", SubBlock(whole, 1));
    EXPECT_GT(walk.controls, 40);
    EXPECT_EQ(walk.missing, std::vector<std::string>());
    for (const char* name :
         {"START", "EXIT", "DEACTIVATEMENU", "FULLSCREEN", "TRUECOLOR", "AUDIOVOLUME", "NEXTGAME",
          "PREVGAME", "GAMESELECTOR", "CDVOLUME", "LEFTHANDLE_CONTROL", "RIGHTHANDLE_CONTROL",
          "LAUNCH_CONTROL", "TILT_CONTROL", "PLAYER_NAME", "HINT", "SCORES_TABLE"})
        EXPECT_TRUE(walk.names.count(name)) << name;
}

}  // namespace
