#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "script/fixed_string.h"
#include "script/flist.h"
#include "table/table.h"
#include "table/table_object.h"

class Font;
class FrameAnimation;

// A line of text drawn with one of the game's named fonts, with a list of
// alternative texts.
class TextMessage : public TableObject {
public:
    explicit TextMessage(Table& table);
    ~TextMessage() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    void DrawEditor(Picture* surface) override;
    bool GetAnchor(int* x, int* y) override;
    void MoveBy(float dx, float dy) override;

    // False (nothing changed) without a font or with no text.
    virtual bool ShowMessage(const char* text);
    // Shows alternative text `line`; nothing for a plain message.
    virtual void ShowLine(int /*line*/) {}

    const Font* GetFont() const { return font_; }

    float atX = 0.0f, atY = 0.0f;
    FixedString<256> message;
    std::int32_t center = 0;
    FixedString<260> font;
    std::int32_t text_width = 0, text_height = 0;
    flist<FixedString<256>> messages;

protected:
    void ReadMessages(const ScriptBlock& block);
    void FindFontAndMeasure();
    void Measure();
    void SaveMessages(std::string* out) const;

    Table& table_;
    const Font* font_ = nullptr;
};

// A text that scrolls across the table, pausing once half-way; it starts
// over or switches itself off when it has left. Those named "welcome",
// "gameover" and "nextball" carry the game's messages.
class TravelingString : public TextMessage {
public:
    explicit TravelingString(Table& table);
    ~TravelingString() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Step(float dt) override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    bool ShowMessage(const char* text) override;
    void ShowLine(int line) override;

    const FrameAnimation* Animation() const { return animation_.get(); }

    static constexpr float kPause = 3.0f;
    enum : std::int32_t { MOVE_RIGHT = 1, MOVE_LEFT = 2, MOVE_DOWN = 4, MOVE_UP = 8 };

    float tspeedX = 0.1f, tspeedY = 0.1f;
    std::int32_t type_flags = 0;  // the `type` key
    std::int32_t swiched = 0;
    std::int32_t active = 1;
    FixedString<260> filestart;
    FixedString<8> fileend;
    std::int32_t filecount = 0;
    float frametime = 0.0f;
    float left_limit = 0.0f, top_limit = 0.0f;
    float right_limit = 1.0f, bottom_limit = 1.0f;
    float pause_left = 0.0f;
    float midpoint = 0.0f;
    bool paused_once = false;

private:
    // How the table and the ball reach a registered string.
    struct Registration : TableMessage {
        explicit Registration(TravelingString& s) : owner(s) {}
        bool IsActive() const override { return owner.active != 0; }
        void SetActive(bool on) override { owner.active = on ? 1 : 0; }
        void ShowMessage(const char* text) override { owner.ShowMessage(text); }
        void ShowLine(int line) override { owner.ShowLine(line); }
        int LineCount() const override { return owner.messages.Count; }
        TravelingString& owner;
    };

    void Unregister();
    // Moves one axis; starts the pause at the midpoint and ends the pass
    // beyond the far limit.
    void Travel(float* at, float delta, bool increasing, float farLimit);

    Registration registration_{*this};
    std::unique_ptr<FrameAnimation> animation_;
};
