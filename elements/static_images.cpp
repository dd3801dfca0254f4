#include "elements/static_images.h"

#include <algorithm>

#include "elements/element_common.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"

// --- StaticPicture ---

StaticPicture::StaticPicture(Table& table) : table_(table) {
    type = ELEMENT_STATIC_PICTURE;
}

StaticPicture::~StaticPicture() {
    StaticPicture::Clear();
}

bool StaticPicture::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block, {KeyDef::Word("filename", &filename), KeyDef::Real("atX", &atX),
                     KeyDef::Real("atY", &atY), KeyDef::Int("noTilt", &noTilt)});
    picture_ = PictureCacheGet(filename.c_str(), PICTURE_SURFACE | PICTURE_TRANSPARENT, false);
    SetEnabled(true);
    return true;
}

void StaticPicture::Clear() {
    if (picture_ != nullptr)
        PictureCacheRelease(picture_);
    SetEnabled(false);
}

void StaticPicture::Save(std::string* out) {
    AppendFormat(out,
                 "StaticPicture {\r\n filename = \"%s\";\r\n atX = %.4f;\r\n atY = %.4f;\r\n"
                 " noTilt = %d;\r\n};;\r\n",
                 filename.c_str(), double(atX), double(atY), noTilt);
}

void StaticPicture::Draw(Picture* target, int offsetX, int offsetY) {
    if (picture_ == nullptr)
        return;
    if (noTilt != 0)
        offsetX = offsetY = 0;
    picture_->Draw(target, table_.ScreenX(atX) + offsetX, table_.ScreenY(atY) + offsetY);
}

bool StaticPicture::CoveredArea(int offsetX, int offsetY, PixelArea* area) const {
    if (picture_ == nullptr || !picture_->DrawsEveryPixel())
        return false;
    if (noTilt != 0)
        offsetX = offsetY = 0;
    const long long x = (long long)table_.ScreenX(atX) + offsetX;
    const long long y = (long long)table_.ScreenY(atY) + offsetY;
    // Only what lies on a screen of int size counts; the rest is drawn nowhere.
    auto cut = [](long long v) { return int(std::clamp<long long>(v, -(1 << 30), 1 << 30)); };
    *area = {cut(x), cut(y), cut(x + picture_->Width()), cut(y + picture_->Height())};
    return true;
}

void StaticPicture::DrawEditor(Picture* surface) {
    if (picture_ != nullptr)
        DrawEditorOutline(surface, table_.ScreenX(atX), table_.ScreenY(atY), picture_->Width(),
                          picture_->Height());
}

bool StaticPicture::GetAnchor(int* x, int* y) {
    if (picture_ == nullptr)
        return false;
    *x = table_.ScreenX(atX) + picture_->Width() / 2;
    *y = table_.ScreenY(atY) + picture_->Height() / 2;
    return true;
}

void StaticPicture::MoveBy(float dx, float dy) {
    atX += dx;
    atY += dy;
}

// --- StaticSprite ---

StaticSprite::StaticSprite(Table& table) : table_(table) {
    type = ELEMENT_STATIC_SPRITE;
}

StaticSprite::~StaticSprite() {
    StaticSprite::Clear();
}

int StaticSprite::StartFrame() const {
    return reverse != 0 && animation_->Count() > 0 ? animation_->Count() - 1 : 0;
}

bool StaticSprite::AnimationStopped() const {
    // Frameless sprites are relays for the rules: each pass ends at the next
    // step, so plays, loops and their events go on without pictures.
    return !animation_->playing || animation_->Count() == 0;
}

void StaticSprite::Start(int frame, bool forward, bool loop) {
    FrameAnimation& a = *animation_;
    a.frame = frame;
    a.forward = forward;
    a.remaining = -1;
    a.elapsed = 0.0f;
    a.playing = true;
    a.loop = loop;
}

bool StaticSprite::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block,
             {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY),
              KeyDef::Real("frametime", &frametime), KeyDef::Word("filestart", &filestart),
              KeyDef::Word("fileend", &fileend), KeyDef::Int("filecount", &filecount),
              KeyDef::Int("reverse", &reverse), KeyDef::Int("likecounter", &likecounter),
              KeyDef::Int("playalways", &playalways), KeyDef::Int("playbackalso", &playbackalso),
              KeyDef::Int("loopcount", &loopcount)});
    animation_ =
        std::make_unique<FrameAnimation>(filestart.c_str(), fileend.c_str(), filecount, 0, 0);
    SetEnabled(true);
    Reset();
    return true;
}

void StaticSprite::Clear() {
    animation_.reset();
    SetEnabled(false);
}

void StaticSprite::Save(std::string* out) {
    AppendFormat(out,
                 "StaticSprite {\r\n atX = %.4f;\r\n atY = %.4f;\r\n filestart = \"%s\";\r\n"
                 " fileend = \"%s\";\r\n filecount = %d;\r\n frametime = %.4f;\r\n"
                 " reverse = %d;\r\n likecounter = %d;\r\n playalways = %d;\r\n"
                 " playbackalso = %d;\r\n loopcount = %d;\r\n};;\r\n",
                 double(atX), double(atY), filestart.c_str(), fileend.c_str(), filecount,
                 double(frametime), reverse, likecounter, playalways, playbackalso, loopcount);
}

void StaticSprite::Reset() {
    loops_left = loopcount;
    counter = 0;
    playing = false;
    first_pass = true;
    if (!animation_)
        return;
    FrameAnimation& a = *animation_;
    a.playing = false;
    a.frame = StartFrame();
    a.frameTime = frametime;
    if (playalways != 0)
        Start(StartFrame(), reverse == 0, true);
}

void StaticSprite::Activate() {
    if (!animation_ || playalways != 0)
        return;
    if (likecounter != 0) {
        if (++counter >= animation_->Count()) {
            counter = 0;
            event_flag = 1;
        }
        animation_->SetFrame(counter);
        return;
    }
    if (playing)
        return;
    playing = true;
    first_pass = true;
    loops_left = loopcount;
    Start(StartFrame(), reverse == 0, false);
}

void StaticSprite::SetHighlight(bool on) {
    if (!animation_ || highlighted == on)
        return;
    highlighted = on;
    if (on) {
        Start(StartFrame(), reverse == 0, true);
    } else {
        animation_->playing = false;
        animation_->SetFrame(0);
    }
}

void StaticSprite::Step(float dt) {
    if (!animation_)
        return;
    StepTresMode(this, dt);
    FrameAnimation& a = *animation_;
    if (highlighted || playalways != 0) {
        a.Advance(dt);
        event_clock += dt;
        if (event_clock >= frametime) {
            event_clock = 0.0f;
            event_flag = 1;
        }
        return;
    }
    if (likecounter != 0)
        return;
    a.Advance(dt);
    if (!playing || !AnimationStopped())
        return;
    if (playbackalso == 0) {
        // A script may give any count; it must not wrap round to a long play.
        if (loops_left > 0)
            --loops_left;
        if (loops_left > 0) {
            Start(StartFrame(), reverse == 0, false);
        } else {
            event_flag = 1;
            playing = false;
        }
    } else if (first_pass) {
        first_pass = false;
        if (reverse == 0)
            Start(a.Count() > 0 ? a.Count() - 1 : 0, false, false);
        else
            Start(0, true, false);
    } else {
        playing = false;
        event_flag = 1;
    }
}

void StaticSprite::Draw(Picture* target, int offsetX, int offsetY) {
    if (!animation_ || (tres_mode && !BlinkShows(*this)))
        return;
    animation_->Draw(target, table_.ScreenX(atX) + offsetX, table_.ScreenY(atY) + offsetY);
}

void StaticSprite::DrawEditor(Picture* surface) {
    if (!animation_)
        return;
    if (const Picture* frame = animation_->Frame(animation_->frame))
        DrawEditorOutline(surface, table_.ScreenX(atX), table_.ScreenY(atY), frame->Width(),
                          frame->Height());
}

bool StaticSprite::GetAnchor(int* x, int* y) {
    if (!animation_)
        return false;
    const Picture* frame = animation_->Frame(animation_->frame);
    *x = table_.ScreenX(atX) + (frame ? frame->Width() / 2 : 0);
    *y = table_.ScreenY(atY) + (frame ? frame->Height() / 2 : 0);
    return true;
}

void StaticSprite::MoveBy(float dx, float dy) {
    atX += dx;
    atY += dy;
}
