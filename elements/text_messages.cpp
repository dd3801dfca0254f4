#include "elements/text_messages.h"

#include "elements/element_common.h"
#include "render/font.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"

namespace {

const SubBlockDef kMessageSubBlocks[] = {{"SimpleMessage", 0}, {nullptr, 0}};

}  // namespace

// --- TextMessage ---

TextMessage::TextMessage(Table& table) : table_(table) {
    type = ELEMENT_TEXT_MESSAGE;
    elementName = "Default message";
    message = "Empty message";
    font = "msgfnt";
}

TextMessage::~TextMessage() {
    TextMessage::Clear();
}

void TextMessage::ReadMessages(const ScriptBlock& block) {
    ForEachSubBlock(block, kMessageSubBlocks, [&](int, const ScriptBlock& sub, int) {
        FixedString<256> text;
        ReadKeys(sub, {KeyDef::Word("string", &text)});
        messages.Append(text);
    });
}

void TextMessage::Measure() {
    if (font_ == nullptr)
        return;
    text_width = font_->TextWidth(message.c_str());
    text_height = font_->Height();
}

void TextMessage::FindFontAndMeasure() {
    font_ = FindFont(font.c_str());
    Measure();
}

bool TextMessage::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block,
             {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY), KeyDef::Int("center", &center),
              KeyDef::Word("message", &message), KeyDef::Word("font", &font)});
    ReadMessages(block);
    SetEnabled(true);
    FindFontAndMeasure();
    return true;
}

void TextMessage::Clear() {
    SetEnabled(false);
    font_ = nullptr;
    text_width = text_height = 0;
    messages.Clear();
}

void TextMessage::SaveMessages(std::string* out) const {
    for (const FixedString<256>& m : messages)
        AppendFormat(out, " SimpleMessage {\r\n  string = \"%s\";\r\n };;\r\n", m.c_str());
    out->append("};;\r\n");
}

void TextMessage::Save(std::string* out) {
    AppendFormat(out,
                 "TextMessage {\r\n name = \"%s\";\r\n message = \"%s\";\r\n font = \"%s\";\r\n"
                 " center = %d;\r\n atX = %.4f;\r\n atY = %.4f;\r\n",
                 elementName.c_str(), message.c_str(), font.c_str(), center, double(atX),
                 double(atY));
    SaveMessages(out);
}

void TextMessage::Draw(Picture* target, int /*offsetX*/, int /*offsetY*/) {
    if (font_ != nullptr)
        font_->DrawText(target, table_.ScreenX(atX), table_.ScreenY(atY), message.c_str(), 0);
}

void TextMessage::DrawEditor(Picture* surface) {
    if (font_ != nullptr)
        DrawEditorOutline(surface, table_.ScreenX(atX), table_.ScreenY(atY), text_width,
                          text_height);
}

bool TextMessage::GetAnchor(int* x, int* y) {
    if (font_ == nullptr)
        return false;
    *x = table_.ScreenX(atX) + text_width / 2;
    *y = table_.ScreenY(atY) + text_height / 2;
    return true;
}

void TextMessage::MoveBy(float dx, float dy) {
    atX += dx;
    atY += dy;
}

bool TextMessage::ShowMessage(const char* text) {
    if (font_ == nullptr || text == nullptr || text[0] == '\0')
        return false;
    message = text;
    Measure();
    return true;
}

// --- TravelingString ---

TravelingString::TravelingString(Table& table) : TextMessage(table) {
    type = ELEMENT_TRAVELING_STRING;
}

TravelingString::~TravelingString() {
    TravelingString::Clear();
}

bool TravelingString::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block, {KeyDef::Word("name", &elementName), KeyDef::Word("message", &message),
                     KeyDef::Word("font", &font), KeyDef::Word("filestart", &filestart),
                     KeyDef::Word("fileend", &fileend), KeyDef::Real("atX", &atX),
                     KeyDef::Real("atY", &atY), KeyDef::Real("tspeedX", &tspeedX),
                     KeyDef::Real("tspeedY", &tspeedY), KeyDef::Real("frametime", &frametime),
                     KeyDef::Int("type", &type_flags), KeyDef::Int("center", &center),
                     KeyDef::Int("swiched", &swiched), KeyDef::Int("active", &active),
                     KeyDef::Int("filecount", &filecount)});
    ReadMessages(block);
    SetEnabled(true);
    FindFontAndMeasure();
    if (!filestart.empty()) {
        animation_ =
            std::make_unique<FrameAnimation>(filestart.c_str(), fileend.c_str(), filecount, 0, 0);
        animation_->frameTime = frametime;
    }
    ShowLine(-1);
    if (elementName == "welcome")
        table_.RegisterMessage(MESSAGE_WELCOME, this, &registration_);
    else if (elementName == "gameover")
        table_.RegisterMessage(MESSAGE_GAMEOVER, this, &registration_);
    else if (elementName == "nextball")
        table_.RegisterMessage(MESSAGE_NEXTBALL, this, &registration_);
    return true;
}

void TravelingString::Unregister() {
    for (MessageSlot slot : {MESSAGE_WELCOME, MESSAGE_GAMEOVER, MESSAGE_NEXTBALL}) {
        if (table_.Message(slot) == &registration_)
            table_.RegisterMessage(slot, nullptr, nullptr);
    }
}

void TravelingString::Clear() {
    // A string re-applied under another name must not keep its old role.
    Unregister();
    TextMessage::Clear();
    type_flags = 0;
    tspeedX = tspeedY = 0.0f;
    swiched = 0;
    active = 1;
    filestart = "";
    animation_.reset();
}

void TravelingString::Save(std::string* out) {
    AppendFormat(out,
                 "TravelingString {\r\n name = \"%s\";\r\n message = \"%s\";\r\n"
                 " font = \"%s\";\r\n center = %d;\r\n swiched = %d;\r\n active = %d;\r\n"
                 " type = %d;\r\n tspeedX = %.4f;\r\n tspeedY = %.4f;\r\n atX = %.4f;\r\n"
                 " atY = %.4f;\r\n",
                 elementName.c_str(), message.c_str(), font.c_str(), center, swiched, active,
                 type_flags, double(tspeedX), double(tspeedY), double(atX), double(atY));
    if (!filestart.empty())
        AppendFormat(out,
                     " filestart = \"%s\";\r\n fileend = \"%s\";\r\n filecount = %d;\r\n"
                     " frametime = %.4f;\r\n",
                     filestart.c_str(), fileend.c_str(), filecount, double(frametime));
    SaveMessages(out);
}

bool TravelingString::ShowMessage(const char* text) {
    if (text == nullptr || text[0] == '\0')
        return false;
    message = text;
    ShowLine(-1);
    return true;
}

void TravelingString::ShowLine(int line) {
    if (line != -1 && line >= 0 && line < messages.Count)
        message = messages.element[line].view();
    if (font_ == nullptr)
        return;
    Measure();
    const ScreenRect& r = table_.screenRect;
    // In floats, as the table maps its units: the int difference of a
    // script's extreme rectangle would overflow.
    const float width = float(r.right) - float(r.left);
    const float height = float(r.bottom) - float(r.top);
    // A degenerate rectangle gives no limits to travel between.
    left_limit = width != 0.0f ? -(float(r.left) + float(text_width)) / width : 0.0f;
    top_limit = height != 0.0f ? -(float(text_height) + float(r.top)) / height : 0.0f;
    if (type_flags & MOVE_RIGHT) {
        atX = left_limit;
        midpoint = (left_limit + 1.0f) * 0.5f;
    } else if (type_flags & MOVE_LEFT) {
        atX = right_limit;
        midpoint = (left_limit + 1.0f) * 0.5f;
    }
    if (type_flags & MOVE_DOWN) {
        atY = top_limit;
        midpoint = (top_limit + 1.0f) * 0.5f;
    } else if (type_flags & MOVE_UP) {
        atY = bottom_limit;
        midpoint = (top_limit + 1.0f) * 0.5f;
    }
    paused_once = false;
    pause_left = 0.0f;
    if (animation_) {
        FrameAnimation& a = *animation_;
        a.remaining = -1;
        a.frame = 0;
        a.playing = true;
        a.forward = true;
        a.elapsed = 0.0f;
        a.loop = true;
    }
}

void TravelingString::Travel(float* at, float delta, bool increasing, float farLimit) {
    *at += increasing ? delta : -delta;
    const bool pastMiddle = increasing ? *at > midpoint : *at < midpoint;
    if (pastMiddle && !paused_once) {
        pause_left = kPause;
        paused_once = true;
    }
    const bool gone = increasing ? *at > farLimit : *at < farLimit;
    if (gone) {
        if (swiched == 0)
            ShowLine(-1);
        else
            active = 0;
    }
}

void TravelingString::Step(float dt) {
    if (font_ == nullptr || active == 0)
        return;
    if (pause_left > 0.0f) {
        pause_left -= dt;
        return;
    }
    if (type_flags & MOVE_RIGHT)
        Travel(&atX, dt * tspeedX, true, right_limit);
    else if (type_flags & MOVE_LEFT)
        Travel(&atX, dt * tspeedX, false, left_limit);
    if (type_flags & MOVE_DOWN)
        Travel(&atY, dt * tspeedY, true, bottom_limit);
    else if (type_flags & MOVE_UP)
        Travel(&atY, dt * tspeedY, false, top_limit);
    if (animation_)
        animation_->Advance(dt);
}

void TravelingString::Draw(Picture* target, int offsetX, int offsetY) {
    if (active == 0)
        return;
    TextMessage::Draw(target, offsetX, offsetY);
    if (!animation_ || font_ == nullptr)
        return;
    const Picture* frame = animation_->Frame(animation_->frame);
    if (frame == nullptr)
        return;
    // On the trailing side of the text, bottom-aligned with it.
    const int offset =
        (type_flags & MOVE_LEFT) && !(type_flags & MOVE_RIGHT) ? text_width : -frame->Width();
    animation_->Draw(target, table_.ScreenX(atX) + offset,
                     table_.ScreenY(atY) + text_height - frame->Height());
}
