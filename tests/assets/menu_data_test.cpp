// The configuration as the game's own readers take it from the packed
// archive: its sections, the files they name, the films and clips.
#include <cstdio>
#include <string>
#include <vector>

#include "render/avi_video.h"
#include "render/cursor.h"
#include "render/display.h"
#include "render/frame_animation.h"
#include "script/file_access.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/assets/packed_data.h"

namespace {

class MenuData : public PackedData {
protected:
    void SetUp() override {
        PackedData::SetUp();
        display_.bpp = 32;
        ASSERT_TRUE(display_.Initialise(nullptr));
    }
    // The body of the first top-level block named `name`; a failure if none.
    static ScriptBlock Section(const ScriptBlock& whole, const char* name) {
        ScriptBlock out;
        bool found = false;
        ForEachStatement(whole, [&](int i) {
            if (!found && whole.IsWord(i, name) && whole.IsPunct(i + 1, '{')) {
                out = SubBlock(whole, i + 1);
                found = true;
            }
        });
        EXPECT_TRUE(found) << name;
        return out;
    }

    Display display_;
};

TEST_F(MenuData, ConfigurationHasEverySectionAndEveryFileItNamesPlays) {
    ZarnikScr scr("data\\config.script");
    ASSERT_GT(scr.TokenCount(), 0);
    const ScriptBlock whole = WholeScript(scr);
    Section(whole, "sound");
    Section(whole, "menu");
    const ScriptBlock video = Section(whole, "video"), startup = Section(whole, "startup"),
                      tables = Section(whole, "tables"), pointers = Section(whole, "pointers");

    FixedString<260> systemfont;
    ReadKeys(video, {KeyDef::Word("systemfont", &systemfont)});
    EXPECT_TRUE(InArchive(systemfont.c_str())) << systemfont.c_str();

    FixedString<256> loading, mainmenu, splashstart, splashend;
    std::int32_t splashcount = 0;
    float splashtime = 0.0f;
    ReadKeys(startup,
             {KeyDef::Word("loading", &loading), KeyDef::Word("mainmenu", &mainmenu),
              KeyDef::Word("splashstart", &splashstart), KeyDef::Word("splashend", &splashend),
              KeyDef::Int("splashcount", &splashcount), KeyDef::Real("splashtime", &splashtime)});
    EXPECT_TRUE(InArchive(loading.c_str()));
    EXPECT_TRUE(InArchive(mainmenu.c_str()));
    EXPECT_GT(splashtime, 0.0f);  // written as a real, else the default stays

    // The splash plays from the archive: its frames are consecutive entries.
    ArchiveAnimation splash(splashstart.c_str(), splashend.c_str(), splashcount, 0, &archive_);
    EXPECT_TRUE(splash.valid);

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

    // The pointers the menus and the loading screen select.
    CursorSet cursors;
    ASSERT_TRUE(cursors.Read(pointers));
    EXPECT_TRUE(cursors.Select("ACTM") && cursors.Select("WAIT"));
}

// The films and the game screen's clips open in the game's decoder, fit
// their window, and play through to their last frame.
TEST_F(MenuData, FilmsAndClipsDecodeAndFitTheirWindows) {
    ZarnikScr scr("data\\config.script");
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
        // The decoder reads loose files only: the build folder's copies.
        AviVideo video((ZARNIK_BINARY_DIR "/" + f.path).c_str(), "film");
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

}  // namespace
