#pragma once

#include <cstdint>
#include <memory>

#include "menu/menu_wrapper.h"

class Font;
class FrameAnimation;

// A one-line text field: takes focus when clicked and, while focused, types
// digits, letters and spaces from the key states, with an animated caret.
class MenuEditControl : public MenuWrapper {
public:
    static constexpr float kDefaultCaretTime = 0.0625f;
    static constexpr int kBackspaceCode = 3;

    explicit MenuEditControl(MenuWrapper* parent = nullptr);
    ~MenuEditControl() override;

    FixedString<256>* StringValue() override { return &text; }
    void Clear() override;
    bool Read(const ScriptBlock& block) override;
    void Update(float dt) override;
    void Draw(Picture* target, int x, int y) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;
    MenuWrapper* Duplicate(int dx, int dy) override;
    // Once per frame while focused: typing here, key capture in MenuGetControl.
    virtual void Keys();

    // The key code of this frame's key states: 3 for Backspace, a character,
    // or 0 when nothing that types is down.
    static int TypedCode();

    FixedString<260> fontFile;
    std::int32_t tx = 0, ty = 0, tw = 50, th = 50;
    std::int32_t cx = 0, cy = 0;  // text offset from the control's position
    std::int32_t editable = 0;
    FixedString<256> text;  // key "Caption"
    FixedString<260> caretStart, caretEnd;
    std::int32_t caretCount = 0;
    float caretTime = kDefaultCaretTime;
    std::unique_ptr<FrameAnimation> caret;
    Font* font = nullptr;  // from the FontCache
    std::uint8_t lastKey = 0;
    int caretIndex = 0;
    bool inside = false;

protected:
    // Font and caret from the fields (after a read or a copy).
    void LoadResources();
    void ReleaseResources();
};

// Captures one key: the first key with a name that is down while it is
// focused is written into its text, and the control closes.
class MenuGetControl : public MenuEditControl {
public:
    explicit MenuGetControl(MenuWrapper* parent = nullptr);
    void Keys() override;
};
