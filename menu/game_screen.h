#pragma once

#include <cstdint>
#include <memory>

#include "script/fixed_string.h"
#include "script/flist.h"
#include "table/table.h"

class AviVideo;
class Font;
class Picture;
struct ScriptBlock;

// What the game screen's text windows show, taken from the table each frame.
struct GameScreenValues {
    std::int32_t score = 0;
    std::int32_t ballNumber = 0;
    const char* playerText = "";
};
// The table's score, current ball number and player name.
GameScreenValues GameScreenValuesOf(const Table& table);

// Window type numbers: the block names of the configuration's menu section.
enum GameWindowType : int {
    GAMEWINDOW_NONE = 0,
    GAMEWINDOW_SUBMENU = 1,  // reserved: such blocks are skipped
    GAMEWINDOW_SCORETEXT = 2,
    GAMEWINDOW_PLAYERTEXT = 3,
    GAMEWINDOW_BALLTEXT = 4,
    GAMEWINDOW_VIDEO = 5,
    GAMEWINDOW_MESSAGE = 6,
};

// Bounds on what a hostile section may build.
inline constexpr int kGameScreenMaxWindows = 64;
inline constexpr int kGameWindowMaxVideos = 64;
inline constexpr int kGameWindowMaxMessages = 1024;

// One window of the game screen; x, y are relative to the screen's origin.
class GameScreenWindow {
public:
    virtual ~GameScreenWindow() = default;
    virtual void Draw(Picture* /*target*/, int /*originX*/, int /*originY*/) {}
    virtual void Update(float /*dt*/, const GameScreenValues& /*values*/) {}
    virtual bool Show(const char* /*name*/) { return false; }

    std::int32_t x = 0, y = 0;
};

// The score ("%d"), the player ("%s") or the ball number ("Ball \xB9 %d"),
// centred on x.
class GameTextWindow : public GameScreenWindow {
public:
    GameTextWindow(int type, const Font* font) : type(type), font(font) {}
    void Draw(Picture* target, int originX, int originY) override;
    void Update(float dt, const GameScreenValues& values) override;

    int type;
    FixedString<256> text;
    const Font* font;  // the screen's
};

// Named clips; showing one plays it from the start until its last frame.
class GameVideoWindow : public GameScreenWindow {
public:
    GameVideoWindow();
    ~GameVideoWindow() override;
    void Draw(Picture* target, int originX, int originY) override;
    void Update(float dt, const GameScreenValues& values) override;
    bool Show(const char* name) override;

    flist<std::unique_ptr<AviVideo>> videos;
    AviVideo* current = nullptr;
};

// Named texts; the one shown last stays until another is shown.
class GameMessageWindow : public GameScreenWindow {
public:
    struct Message {
        FixedString<32> name;
        FixedString<256> text;
    };
    explicit GameMessageWindow(const Font* font) : font(font) {}
    void Draw(Picture* target, int originX, int originY) override;
    bool Show(const char* name) override;

    flist<Message> messages;
    int current = -1;
    const Font* font;  // the screen's
};

// The windows over the table during a game, read from the configuration's
// `menu` section. A link's menu request reaches it as a GameScreenLink.
//   GameScreen s;  s.Read(menuSection);
//   each frame: table.Update(&s, dt); s.Update(dt, GameScreenValuesOf(table)); s.Draw(back);
class GameScreen : public GameScreenLink {
public:
    GameScreen();
    ~GameScreen() override;
    GameScreen(const GameScreen&) = delete;
    GameScreen& operator=(const GameScreen&) = delete;

    // Keys "font", "atX", "atY" and the window blocks; unknown blocks are
    // skipped. A font of another kind than ".bmp" or ".fnt" leaves the
    // screen without one (its texts then draw nothing).
    bool Read(const ScriptBlock& section);
    void Draw(Picture* target);
    void Update(float dt, const GameScreenValues& values);
    // Asks the windows from the last to the first; true at the first that shows it.
    bool Show(const char* name);
    void ShowItem(const char* name) override { Show(name); }
    void Clear();

    flist<std::unique_ptr<GameScreenWindow>> windows;  // in script order
    std::int32_t atX = 0, atY = 0;
    FixedString<260> fontFile;
    std::unique_ptr<Font> font;  // made directly, shared by the windows
};
