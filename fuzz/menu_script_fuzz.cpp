// A menu script of arbitrary text: loaded as the main menu (every picture and
// font name gets a small image), stepped for a few frames with a pointer,
// buttons and keys drawn from the input itself, drawn, acted on the way the
// program acts on clicks, and saved. The same text is also read as the game
// screen's section. Nothing may crash, hang or overflow the stack.
#include <string>

#include "fuzz/render_fuzz_common.h"
#include "input/control_binding.h"
#include "menu/game_screen.h"
#include "menu/menu_wrapper.h"
#include "render/font.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

void EditAll(MenuWrapper* w, Picture* target) {
    w->EditMove();
    w->EditDraw(target, 0, 0);
    for (int i = 0; i < w->ChildCount(); ++i)
        EditAll(w->Child(i), target);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    Display& display = FuzzDisplay();
    static FuzzProvider provider;
    provider.data = data;
    provider.size = size;
    provider.name = "data\\menu\\fuzz.script";
    if (provider.fallbackBmp.empty())
        provider.fallbackBmp = PatternBmp(32, 32);
    SetResourceProvider(&provider);

    static platform::ManualKeyboard keyboard;
    static InputManager input;
    input.SetKeyboard(&keyboard);
    MenuSystem& menus = Menus();
    menus.Reset();
    menus.input = &input;
    menus.LoadRoot("data\\menu\\fuzz.script");
    MenuWrapper* root = menus.root.get();
    root->Activate();
    menus.SetInt("FULLSCREEN", 1);
    menus.SetFloat("AUDIOVOLUME", 0.5f);
    menus.SetString("LEFTHANDLE_CONTROL", "LSHIFT");

    std::uint32_t seed = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        seed = (seed ^ data[i]) * 16777619u;
    for (int frame = 0; frame < 40; ++frame) {
        seed = seed * 1664525u + 1013904223u;
        menus.pointerX = int(seed >> 8) % 120 - 10;
        menus.pointerY = int(seed >> 16) % 90 - 10;
        menus.leftButton = (seed >> 3) & 1;
        input.SetRightButton(((seed >> 4) & 7) == 0);
        keyboard.keys = platform::KeyState();
        keyboard.Set(int(seed >> 24), true);
        input.Poll();
        root->Update(0.03f);
        root->Draw(display.BackPicture(), 0, 0);
        if (MenuWrapper* clicked = menus.TakeLastClicked()) {
            // What the program does with the actions that reshape the tree.
            if (clicked->action == ACTION_DEACTIVATEMENU && clicked->parent) {
                MenuWrapper* up =
                    clicked->parent->parent ? clicked->parent->parent : clicked->parent;
                up->Deactivate();
            } else if (clicked->action == ACTION_NEXTGAME || clicked->action == ACTION_PREVGAME) {
                menus.PlayByName("GAMESELECTOR", 18, clicked->action == ACTION_NEXTGAME);
                clicked->Deactivate();
            }
            if (MenuWrapper* copy = clicked->Duplicate(3, 3))
                copy->Draw(display.BackPicture(), 0, 0);
        }
    }
    EditAll(root, display.BackPicture());
    std::string saved, indent;
    root->Save(&saved, &indent);
    root->Deactivate();

    ZarnikScr scr(reinterpret_cast<const char*>(data), int(size));
    const ScriptBlock whole = WholeScript(scr);
    GameScreen screen;
    screen.Read(whole.count > 1 ? SubBlock(whole, 1) : whole);
    screen.Show("bonus");
    GameScreenValues values;
    values.score = -2147483647 - 1;
    values.playerText = "fuzz";
    for (int frame = 0; frame < 5; ++frame) {
        screen.Update(0.05f, values);
        screen.Draw(display.BackPicture());
    }

    menus.Reset();
    SetResourceProvider(nullptr);
    GlobalFontCache().Clear();
    GlobalPictureCache().Clear();
    return 0;
}
