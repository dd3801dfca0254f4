#include "menu/game_screen.h"

#include <cstdio>
#include <string_view>

#include "menu/menu_wrapper.h"
#include "render/avi_video.h"
#include "render/font.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "script/script_block.h"

namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

constexpr SubBlockDef kWindowBlocks[] = {
    {"submenu", GAMEWINDOW_SUBMENU},
    {"scoretext", GAMEWINDOW_SCORETEXT},
    {"playertext", GAMEWINDOW_PLAYERTEXT},
    {"balltext", GAMEWINDOW_BALLTEXT},
    {"videowindow", GAMEWINDOW_VIDEO},
    {"messagewindow", GAMEWINDOW_MESSAGE},
    {nullptr, 0},
};

void ReadPosition(const ScriptBlock& block, GameScreenWindow* w) {
    ReadKeys(block, {KeyDef::Int("x", &w->x), KeyDef::Int("y", &w->y)});
    HoldCoords({&w->x, &w->y});
}

std::unique_ptr<GameScreenWindow> ReadVideoWindow(const ScriptBlock& block) {
    auto w = std::make_unique<GameVideoWindow>();
    ReadPosition(block, w.get());
    static constexpr SubBlockDef kAdd[] = {{"addvideo", 0}, {nullptr, 0}};
    ForEachSubBlock(block, kAdd, [&](int, const ScriptBlock& sub, int) {
        if (w->videos.Count >= kGameWindowMaxVideos)
            return;
        FixedString<32> name;
        FixedString<260> fileName;
        ReadKeys(sub, {KeyDef::Word("name", &name), KeyDef::Word("filename", &fileName)});
        w->videos.Append(std::make_unique<AviVideo>(fileName.c_str(), name.c_str()));
    });
    return w;
}

std::unique_ptr<GameScreenWindow> ReadMessageWindow(const ScriptBlock& block, const Font* font) {
    auto w = std::make_unique<GameMessageWindow>(font);
    ReadPosition(block, w.get());
    static constexpr SubBlockDef kMessage[] = {{"message", 0}, {nullptr, 0}};
    ForEachSubBlock(block, kMessage, [&](int, const ScriptBlock& sub, int) {
        if (w->messages.Count >= kGameWindowMaxMessages)
            return;
        GameMessageWindow::Message m;
        ReadKeys(sub, {KeyDef::Word("name", &m.name), KeyDef::Word("text", &m.text)});
        w->messages.Append(m);
    });
    return w;
}

}  // namespace

GameScreenValues GameScreenValuesOf(const Table& table) {
    GameScreenValues v;
    v.score = table.score;
    v.ballNumber = table.currentBallNumber;
    v.playerText = table.playerName.c_str();
    return v;
}

// --- windows ------------------------------------------------------------------

void GameTextWindow::Update(float, const GameScreenValues& values) {
    char buffer[256];
    switch (type) {
        case GAMEWINDOW_SCORETEXT:
            std::snprintf(buffer, sizeof buffer, "%d", values.score);
            break;
        case GAMEWINDOW_PLAYERTEXT:
            std::snprintf(buffer, sizeof buffer, "%s", values.playerText ? values.playerText : "");
            break;
        case GAMEWINDOW_BALLTEXT:
            std::snprintf(buffer, sizeof buffer, "Ball \xB9 %d", values.ballNumber);
            break;
        default:
            buffer[0] = '\0';
            break;
    }
    text = buffer;
}

void GameTextWindow::Draw(Picture* target, int originX, int originY) {
    if (font && !text.empty())
        font->DrawText(target, x + originX, y + originY, text.c_str(), TEXT_CENTER_X);
}

GameVideoWindow::GameVideoWindow() = default;
GameVideoWindow::~GameVideoWindow() = default;

bool GameVideoWindow::Show(const char* wanted) {
    for (int i = videos.Count - 1; i >= 0; --i) {
        AviVideo* v = videos.element[i].get();
        if (SameNoCase(v->name.view(), wanted ? wanted : "")) {
            current = v;
            current->Play();
            return true;
        }
    }
    return false;
}

void GameVideoWindow::Update(float dt, const GameScreenValues&) {
    if (!current)
        return;
    current->Update(dt);
    if (!current->playing)
        current = nullptr;
}

void GameVideoWindow::Draw(Picture* target, int originX, int originY) {
    // A clip that failed to load plays nothing.
    if (current && current->IsOpen() && current->picture)
        current->picture->Draw(target, x + originX, y + originY);
}

bool GameMessageWindow::Show(const char* wanted) {
    for (int i = messages.Count - 1; i >= 0; --i) {
        if (SameNoCase(messages[i].name.view(), wanted ? wanted : "")) {
            current = i;
            return true;
        }
    }
    return false;
}

void GameMessageWindow::Draw(Picture* target, int originX, int originY) {
    if (font && current >= 0 && current < messages.Count)
        font->DrawText(target, x + originX, y + originY, messages[current].text.c_str(), 0);
}

// --- the screen ---------------------------------------------------------------

GameScreen::GameScreen() = default;

GameScreen::~GameScreen() {
    Clear();
}

void GameScreen::Clear() {
    // Windows first: they point at the font.
    windows.Clear();
    font.reset();
}

bool GameScreen::Read(const ScriptBlock& section) {
    Clear();
    ReadKeys(section,
             {KeyDef::Word("font", &fontFile), KeyDef::Int("atX", &atX), KeyDef::Int("atY", &atY)});
    HoldCoords({&atX, &atY});
    // Made directly, not shared through the font cache; another extension
    // than ".bmp" or ".fnt" gives none.
    if (!fontFile.empty())
        font.reset(CreateFont(fontFile.c_str()));
    ForEachSubBlock(section, kWindowBlocks, [&](int type, const ScriptBlock& sub, int) {
        if (windows.Count >= kGameScreenMaxWindows)
            return;
        std::unique_ptr<GameScreenWindow> w;
        switch (type) {
            case GAMEWINDOW_SCORETEXT:
            case GAMEWINDOW_PLAYERTEXT:
            case GAMEWINDOW_BALLTEXT:
                w = std::make_unique<GameTextWindow>(type, font.get());
                ReadPosition(sub, w.get());
                break;
            case GAMEWINDOW_VIDEO:
                w = ReadVideoWindow(sub);
                break;
            case GAMEWINDOW_MESSAGE:
                w = ReadMessageWindow(sub, font.get());
                break;
            default:
                return;  // "submenu" is reserved
        }
        windows.Append(std::move(w));
    });
    return true;
}

void GameScreen::Draw(Picture* target) {
    for (auto& w : windows)
        w->Draw(target, atX, atY);
}

void GameScreen::Update(float dt, const GameScreenValues& values) {
    for (auto& w : windows)
        w->Update(dt, values);
}

bool GameScreen::Show(const char* name) {
    for (int i = windows.Count - 1; i >= 0; --i) {
        if (windows.element[i]->Show(name))
            return true;
    }
    return false;
}
