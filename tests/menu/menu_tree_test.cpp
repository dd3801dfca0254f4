#include <string>
#include <vector>

#include "menu/menu_buttons.h"
#include "menu/menu_pictures.h"
#include "menu/menu_sliders.h"
#include "menu/menu_text_fields.h"
#include "tests/menu/menu_fixture.h"

namespace {

using MenuRouting = MenuTest;
using MenuLookups = MenuTest;
using MenuHints = MenuTest;
using MenuReading = MenuTest;

// Records which controls were stepped and drawn, and where.
std::vector<std::string> gLog;
struct Probe : MenuWrapper {
    using MenuWrapper::MenuWrapper;
    void Update(float dt) override {
        gLog.push_back("u" + std::string(name.view()));
        MenuWrapper::Update(dt);
    }
    void Draw(Picture* t, int px, int py) override {
        gLog.push_back("d" + std::string(name.view()) + "@" + std::to_string(px + x));
        MenuWrapper::Draw(t, px, py);
    }
};

TEST_F(MenuRouting, CascadeAndFocusChooseWhichChildrenStepAndDraw) {
    MenuWrapper* root = Root("MenuWrapper { x = 5; };");
    for (const char* n : {"0", "1", "2"}) {
        auto p = std::make_unique<Probe>(root);
        p->name = n;
        p->x = 10;
        root->children.Append(std::move(p));
    }
    struct Case {
        int cascade, focused;
        bool active;
        std::vector<std::string> log;
    } cases[] = {
        {0, -1, true, {"u2", "u1", "u0", "d2@15", "d1@15", "d0@15"}},
        {0, 1, true, {"u1", "d1@15"}},
        {1, 1, true, {"u2", "u1", "u0", "d2@15", "d1@15", "d0@15"}},
        {0, -1, false, {}},
    };
    for (const Case& c : cases) {
        root->cascade = c.cascade;
        root->focused = c.focused;
        root->active = c.active;
        gLog.clear();
        root->Update(0.01f);
        root->Draw(display.BackPicture(), 0, 0);
        EXPECT_EQ(gLog, c.log) << "cascade " << c.cascade << " focused " << c.focused;
    }
}

TEST_F(MenuRouting, PositionsAddUpTheParentChainAsTheScriptHasSetIt) {
    const std::string red = Bmp("red", 0xFF0000);
    MenuWrapper* root = Root(
        "MenuWrapper { x = 5; y = 7;"
        "  MenuWrapper { x = 20; MenuButton { name = \"A\"; };"
        "                MenuWrapper { x = 10; MenuPicture { filename = \"" +
        red +
        "\"; };"
        "  }; };"
        "  y = 100;"
        "  MenuWrapper { x = 1; MenuButton { name = \"B\"; tx = 3; }; y = 9;"
        "    MenuSwitch { name = \"S\"; }; MenuSlider { name = \"L\"; };"
        "    MenuEditControl { name = \"E\"; ty = 4; }; };"
        "};");
    EXPECT_EQ(Get<MenuButton>("A")->tx, 25);
    EXPECT_EQ(Get<MenuButton>("A")->ty, 7) << "the root's y came later";
    EXPECT_EQ(Get<MenuButton>("B")->tx, 3);
    EXPECT_EQ(Get<MenuButton>("B")->ty, 100);
    EXPECT_EQ(Get<MenuSwitch>("S")->tx, 6);
    EXPECT_EQ(Get<MenuSwitch>("S")->ty, 109);
    EXPECT_EQ(Get<MenuSlider>("L")->ty, 109);
    EXPECT_EQ(Get<MenuEditControl>("E")->tx, 6);
    EXPECT_EQ(Get<MenuEditControl>("E")->ty, 4);
    // Drawn at 5 + 20 + 10 = 35 across, 100 down.
    root->Child(0)->active = root->Child(0)->Child(1)->active = true;
    Redraw();
    EXPECT_EQ(Pixel(35, 100), 0xFF0000u);
    EXPECT_EQ(Pixel(34, 100), 0u);
    EXPECT_EQ(Pixel(35, 99), 0u);
}

TEST_F(MenuRouting, DeactivateClosesTheSubtreeAndDropsTheParentsFocus) {
    MenuWrapper* root = Root("MenuWrapper { MenuWrapper { MenuWrapper { }; }; MenuWrapper { }; };");
    MenuWrapper* leaf = root->Child(0)->Child(0);
    leaf->Activate();
    EXPECT_TRUE(root->Child(0)->active && leaf->IsShown());
    root->focused = 0;
    root->Child(0)->focused = 0;
    root->Child(0)->Deactivate();
    EXPECT_EQ(root->focused, -1);
    EXPECT_FALSE(root->Child(0)->active || leaf->active);
    root->focused = 1;
    root->Child(0)->Deactivate();
    EXPECT_EQ(root->focused, 1) << "only the focused child's close drops the focus";
}

TEST_F(MenuLookups, DepthFirstWithChildrenFromLastToFirst) {
    Root(
        "MenuWrapper {"
        "  MenuSwitch { name = \"V\"; MenuWrapper { }; };"
        "  MenuWrapper { MenuSwitch { name = \"V\"; MenuWrapper { }; MenuWrapper { }; }; };"
        "  MenuEditControl { name = \"V\"; Caption = \"text\"; };"
        "  MenuAnimation { name = \"SEL\"; filecount = 2; frametime = 0.1; playnow = 1; temp = 1; "
        "};"
        "  MenuAnimation { name = \"SEL\"; filecount = 2; frametime = 0.1; temp = 1; };"
        "};");
    MenuWrapper* root = Menus().root.get();
    auto* first = dynamic_cast<MenuSwitch*>(root->Child(0));
    auto* nested = dynamic_cast<MenuSwitch*>(root->Child(1)->Child(0));
    EXPECT_EQ(Menus().Find("V"), root->Child(2));
    EXPECT_EQ(Menus().Find("v"), nullptr) << "names compare with case";
    EXPECT_TRUE(Menus().SetInt("V", 5));
    EXPECT_EQ(nested->state, 5);
    EXPECT_EQ(first->state, -1);
    FixedString<256> text;
    EXPECT_TRUE(Menus().GetString("V", &text));
    EXPECT_EQ(text, "text");
    float f = 7.0f;
    EXPECT_FALSE(Menus().GetFloat("V", &f));
    EXPECT_EQ(f, 7.0f) << "no value of that kind leaves the out value alone";
    // The later animation is asked first and accepts; then both are playing.
    EXPECT_TRUE(Menus().PlayByName("SEL", 3, true));
    EXPECT_TRUE(dynamic_cast<MenuAnimation*>(root->Child(4))->animation->playing);
    EXPECT_FALSE(Menus().PlayByName("SEL", 3, true));
    EXPECT_FALSE(Menus().PlayByName("NONE", 3, true));
}

TEST_F(MenuLookups, ActionAndClassNumbersComeFromExactNames) {
    const std::vector<std::pair<const char*, int>> actions = {
        {"", 0},           {"START", 1},     {"EXIT", 2},
        {"exit", 0},       {"EXIT ", 0},     {"DEACTIVATEMENU", 3},
        {"FULLSCREEN", 4}, {"TRUECOLOR", 5}, {"AUDIOVOLUME", 6},
        {"NEXTGAME", 7},   {"PREVGAME", 8},  {"GAMESELECTOR", 9},
        {"CDVOLUME", 0},
    };
    for (const auto& [name, number] : actions) {
        MenuWrapper* root = Root("MenuWrapper { name = \"" + std::string(name) + "\"; };");
        EXPECT_EQ(root->action, number) << name;
    }
    EXPECT_EQ(MenuClassFromName("MenuSwitchButton"), MENU_SWITCHBUTTON);
    EXPECT_EQ(MenuClassFromName("menubutton"), MENU_NONE);
    // A block of another name is skipped whole, keys inside it unread.
    MenuWrapper* root = Root("MenuWrapper { Thing { MenuButton { }; x = 4; }; menubutton { }; };");
    EXPECT_EQ(root->ChildCount(), 0);
    EXPECT_EQ(root->x, 0);
}

TEST_F(MenuHints, TheHintFollowsThePointerAndALaterHintStays) {
    Root(
        "MenuWrapper {"
        "  MenuEditControl { name = \"HINT\"; };"
        "  MenuButton { name = \"A\"; hint = \"first\"; tx = 0; ty = 0; };"
        "  MenuButton { name = \"B\"; hint = \"second\"; tx = 40; ty = 0; };"
        "  MenuSwitch { tx = 200; statecount = 1; MenuWrapper { }; MenuSwitchButton { hint = "
        "\"sw\"; tx = 300; }; };"
        "};");
    auto hintText = [] {
        FixedString<256> t;
        Menus().GetString("HINT", &t);
        return std::string(t.view());
    };
    Pointer(10, 10);
    Frame();
    EXPECT_EQ(hintText(), "first");
    // B (later in the list) is stepped first: its hint is set before A lets go.
    Pointer(45, 10);
    Frame();
    EXPECT_EQ(hintText(), "second");
    EXPECT_EQ(Menus().hintControl, Get("B"));
    Pointer(300, 10);
    Frame();
    EXPECT_EQ(hintText(), "sw") << "a switch button's hint goes to the switch's parent";
    Pointer(700, 500);
    Frame();
    EXPECT_EQ(hintText(), "");
    EXPECT_EQ(Menus().hintControl, nullptr);
}

TEST_F(MenuReading, HostileScriptsAreCutAndBounded) {
    std::string deep;
    for (int i = 0; i < 20000; ++i)
        deep += "MenuWrapper {";
    MenuWrapper* root = Root("MenuWrapper { " + deep + " };");
    int depth = 0;
    for (MenuWrapper* w = root; w->ChildCount() > 0; w = w->Child(0))
        ++depth;
    EXPECT_EQ(depth, kMenuMaxDepth);

    std::string wide;
    for (int i = 0; i < 3000; ++i)
        wide += "MenuPicture { };";
    root = Root("MenuWrapper { " + wide + " };");
    EXPECT_EQ(root->ChildCount(), kMenuMaxChildren);

    root = Root("MenuWrapper { name = \"" + std::string(40, 'n') + "\"; hint = \"" +
                std::string(300, 'h') +
                "\"; x = 1.0; y = 2;"
                " MenuRoundSlider { maxangle = 3; cx = 1" +
                std::string(40, '0') +
                ".0; };"
                " MenuAnimation { filecount = 2000000000; frametime = 0.1; temp = 1; }; };");
    EXPECT_EQ(root->name.size(), 31u);
    EXPECT_EQ(root->hint.size(), 255u);
    EXPECT_EQ(root->x, 0) << "an int key given a real is ignored";
    EXPECT_EQ(root->y, 2);
    auto* round = dynamic_cast<MenuRoundSlider*>(root->Child(0));
    EXPECT_FLOAT_EQ(round->maxangle, MenuRoundSlider::kFullTurn) << "a real key given an int";
    EXPECT_EQ(round->cx, 0.0f);
    EXPECT_EQ(dynamic_cast<MenuAnimation*>(root->Child(1))->animation->Count(), kMenuMaxFrames);

    // Positions far beyond any screen are held; the outline stays cheap and defined.
    root = Root(
        "MenuWrapper { x = 2147483647; MenuButton { x = 2147483647; tx = -2147483647;"
        " tw = 2147483647; }; };");
    EXPECT_EQ(root->x, kMenuMaxCoord);
    auto* far = dynamic_cast<MenuButton*>(root->Child(0));
    EXPECT_EQ(far->tx, -kMenuMaxCoord);
    far->EditDraw(display.BackPicture(), 0, 0);
    Redraw();
}

}  // namespace
