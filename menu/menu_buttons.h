#pragma once

#include "audio/sound_pack.h"
#include "menu/menu_wrapper.h"

// A clickable rectangle. Children by position: 0 the highlight while the
// pointer is over it; 1 the pressed picture (a MenuPicture) or the submenu
// the click opens (any other class); 2 the pressed picture of a button with
// a submenu.
class MenuButton : public MenuWrapper {
public:
    explicit MenuButton(MenuWrapper* parent = nullptr);
    ~MenuButton() override;

    bool Read(const ScriptBlock& block) override;
    void Update(float dt) override;
    void Draw(Picture* target, int x, int y) override;
    void Deactivate() override;
    void EditMove() override;
    void EditDraw(Picture* target, int x, int y) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;

    // Child 1 is a submenu (anything but a picture) that a click opens.
    bool HasSubmenu() const;
    // Pointer test, honouring the DEACTIVATEMENU flag of top-level menus.
    bool PointerInside() const;

    SoundPack sounds;             // slots "down" and "up"
    std::int32_t tx = 0, ty = 0;  // absolute top-left of the sensitive rectangle
    std::int32_t tw = 50, th = 50;
    bool inside = false;
    bool pressed = false;
    int downSound = -1, upSound = -1;
    std::int32_t savedCascade = 0;  // the parent's cascade when built

protected:
    // The release after a press; the switch button does its own.
    virtual void Click();
    void SaveButtonKeys(std::string* out, const std::string& indent) const;
};

// Shows one of its first `statecount` children (the states) and steps
// between them; children after them are its extra controls (switch buttons).
class MenuSwitch : public MenuWrapper {
public:
    explicit MenuSwitch(MenuWrapper* parent = nullptr);

    std::int32_t* IntValue() override { return &state; }
    void Step(int direction) override;
    bool Read(const ScriptBlock& block) override;
    void Update(float dt) override;
    void Draw(Picture* target, int x, int y) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;

    // Latch cleared, step 0, latch cleared: shows the current state again.
    void Reset();

    std::int32_t tx = 0, ty = 0, tw = 50, th = 50;
    std::int32_t state = -1;  // the shown state; the control's int value
    bool latch = false;       // set by a step; further steps refused until cleared
    std::int32_t statecount = 0;
};

// A button of a switch that jumps it to a state or steps it.
class MenuSwitchButton : public MenuButton {
public:
    explicit MenuSwitchButton(MenuWrapper* parent = nullptr);

    bool Read(const ScriptBlock& block) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;
    // The hint goes to the "HINT" of the switch's parent.
    void HoverOn() override;
    void HoverOff() override;

    std::int32_t affected = -1;  // state to jump to, -1 for none
    std::int32_t add = 0;        // -1 steps back, 1 forward, else no step

protected:
    void Click() override;
};
