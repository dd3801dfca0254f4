#include <sstream>
#include <string>

#include "menu/menu_buttons.h"
#include "menu/menu_pictures.h"
#include "menu/menu_sliders.h"
#include "menu/menu_text_fields.h"
#include "tests/menu/menu_fixture.h"

namespace {

using MenuSave = MenuTest;

// Every field a script sets, read from the controls themselves.
std::string Dump(MenuWrapper* w, int level = 0) {
    std::ostringstream s;
    s << std::string(std::size_t(level), ' ') << w->className.c_str() << " " << w->name.c_str()
      << " '" << w->hint.c_str() << "' " << w->x << "," << w->y << " c" << w->cascade;
    if (auto* b = dynamic_cast<MenuButton*>(w)) {
        s << " t" << b->tx << "," << b->ty << "," << b->tw << "," << b->th << " "
          << b->sounds.slots[b->upSound].fileName.c_str() << "/"
          << b->sounds.slots[b->downSound].fileName.c_str();
    }
    if (auto* b = dynamic_cast<MenuSwitchButton*>(w))
        s << " aff" << b->affected << " add" << b->add;
    if (auto* sw = dynamic_cast<MenuSwitch*>(w))
        s << " t" << sw->tx << "," << sw->ty << "," << sw->tw << "," << sw->th << " n"
          << sw->statecount;
    if (auto* sl = dynamic_cast<MenuSlider*>(w)) {
        s << " t" << sl->tx << "," << sl->ty << "," << sl->tw << "," << sl->th;
        if (sl->animation)
            s << " " << sl->animation->Count() << " " << sl->animation->Frame(0)->Name();
    }
    if (auto* r = dynamic_cast<MenuRoundSlider*>(w))
        s << " p" << r->picx << "," << r->picy << " c" << r->cx << "," << r->cz << " d" << r->px
          << "," << r->pz << " m" << r->maxangle << " " << r->picname.c_str();
    if (auto* e = dynamic_cast<MenuEditControl*>(w))
        s << " t" << e->tx << "," << e->ty << "," << e->tw << "," << e->th << " c" << e->cx << ","
          << e->cy << " e" << e->editable << " '" << e->text.c_str() << "' " << e->fontFile.c_str()
          << " " << e->caretStart.c_str() << e->caretEnd.c_str() << " " << e->caretCount << " "
          << e->caretTime;
    if (auto* p = dynamic_cast<MenuPicture*>(w))
        s << " " << p->filename.c_str() << " f" << p->flags << " temp" << p->temp;
    if (auto* a = dynamic_cast<MenuAnimation*>(w))
        s << " " << a->filestart.c_str() << a->fileend.c_str() << " " << a->filecount << " "
          << a->startfile << " " << a->frametime << " " << a->playnow << a->temp;
    if (auto* m = dynamic_cast<MenuMsgWindow*>(w))
        s << " h" << m->h << " " << m->fontFile.c_str();
    s << "\n";
    for (int i = 0; i < w->ChildCount(); ++i)
        s << Dump(w->Child(i), level + 1);
    return s.str();
}

TEST_F(MenuSave, AGroupWritesItsChildOneTabDeeperBeforeItsClose) {
    MenuWrapper* root = Root(
        "MenuWrapper { name = \"G\"; x = -3; MenuSwitch { statecount = 0; MenuWrapper { };"
        " MenuWrapper { }; MenuWrapper { }; }; };");
    std::string out, indent;
    root->Child(0)->Clear();
    dynamic_cast<MenuSwitch*>(root->Child(0))->statecount = 2;
    root->Save(&out, &indent);
    EXPECT_EQ(out,
              "MenuWrapper {\r\n\tname = \"G\";\r\n\thint = \"\";\r\n\tx = -3;\r\n\ty = 0;\r\n"
              "\tcascade = 0;\r\n"
              "\tMenuSwitch {\r\n\t\tname = \"\";\r\n\t\thint = \"\";\r\n\t\tx = 0;\r\n"
              "\t\ty = 0;\r\n\t\tcascade = 0;\r\n\t\ttx = -3;\r\n\t\tty = 0;\r\n\t\ttw = 50;\r\n"
              "\t\tth = 50;\r\n\t\tstatecount = 2;\r\n\t};\r\n"
              "};\r\n");
    EXPECT_EQ(indent, "");
    // A switch whose states are all its children writes 0.
    root = Root("MenuWrapper { MenuSwitch { MenuWrapper { }; MenuWrapper { }; }; };");
    out.clear();
    root->Child(0)->Save(&out, &indent, SAVE_KEYS);
    EXPECT_NE(out.find("statecount = 0;\r\n"), std::string::npos) << out;
}

TEST_F(MenuSave, EveryControlReadsBackFromItsSaveAsItWas) {
    Bmp("s0000", 0x808080);
    Bmp("s0001", 0x808080);
    const std::string font = FontFile(), d = dir.Path();
    const std::string script =
        "MenuWrapper { name = \"ROOT\"; hint = \"top\"; x = 1; y = 2; cascade = 1;"
        " MenuButton { name = \"B\"; tx = 5; ty = 6; tw = 7; th = 8;"
        "   SoundPack { up = \"u.wav\"; down = \"d.wav\"; }; MenuPicture { filename = \"" +
        d +
        "\\s0000.bmp\"; transparent = 0; temp = 1; }; };"
        " MenuSwitch { name = \"S\"; statecount = 1; MenuWrapper { };"
        "   MenuSwitchButton { affected = 3; add = -1; }; };"
        " MenuSlider { name = \"L\"; filestart = \"" +
        d +
        "\\s\"; fileend = \".bmp\"; filecount = 2; };"
        " MenuRoundSlider { name = \"R\"; filestart = \"" +
        d +
        "\\s\"; fileend = \".bmp\";"
        "   filecount = 2; picx = -4; cx = 400.0; cz = 300.0; px = 400.0; pz = 200.0;"
        "   maxangle = 3.5; picname = \"" +
        d +
        "\\s0001.bmp\"; };"
        " MenuEditControl { name = \"E\"; editable = 1; Caption = \"hi there\"; font = \"" +
        font +
        "\"; CFStart = \"c\"; CFEnd = \".bmp\"; CFCount = 0; CFFrTime = 0.5; cx = 2; };"
        " MenuGetControl { name = \"K\"; Caption = \"LSHIFT\"; };"
        " MenuAnimation { name = \"GAMESELECTOR\"; filestart = \"" +
        d +
        "\\s\"; fileend = \".bmp\";"
        "   filecount = 2; startfile = 0; frametime = 0.0625; playnow = 1; temp = 1; };"
        " MenuAnimation { name = \"BROKEN\"; filecount = 4; frametime = 0.0; };"
        " MenuMsgWindow { h = 2; font = \"" +
        font +
        "\"; };"
        "};";
    MenuWrapper* root = Root(script);
    const std::string before = Dump(root);
    std::string saved, indent;
    root->Save(&saved, &indent);
    WriteFile(dir.File("saved.script"), saved);
    ASSERT_TRUE(Menus().LoadRoot((dir.Path() + "\\saved.script").c_str()));
    EXPECT_EQ(Dump(Menus().root.get()), before);
    std::string again;
    Menus().root->Save(&again, &indent);
    EXPECT_EQ(again, saved);
    EXPECT_NE(before.find(" d0,-1 "), std::string::npos) << "the round slider's direction";
}

}  // namespace
