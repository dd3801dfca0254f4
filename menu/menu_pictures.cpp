#include "menu/menu_pictures.h"

#include <algorithm>
#include <cmath>

#include "render/display.h"
#include "render/font.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"

namespace {

void OutlinePicture(Picture* target, const Picture* picture, int x, int y) {
    if (picture)
        DrawMenuOutline(target, x, y, std::int64_t(x) + picture->Width(),
                        std::int64_t(y) + picture->Height());
}

}  // namespace

// --- MenuPicture --------------------------------------------------------------

MenuPicture::MenuPicture(MenuWrapper* parentControl) : MenuWrapper(parentControl) {
    className = "MenuPicture";
    classNumber = MENU_PICTURE;
}

MenuPicture::~MenuPicture() {
    MenuPicture::Clear();
}

void MenuPicture::Clear() {
    MenuWrapper::Clear();
    if (picture)
        PictureCacheRelease(picture);
}

void MenuPicture::TakePicture() {
    if (!picture && !filename.empty())
        picture = PictureCacheGet(filename.c_str(), flags);
}

bool MenuPicture::Read(const ScriptBlock& block) {
    MenuWrapper::Read(block);
    std::int32_t transparent = 1, sysmem = 1;
    ReadKeys(block, {KeyDef::Word("filename", &filename), KeyDef::Int("transparent", &transparent),
                     KeyDef::Int("sysmem", &sysmem), KeyDef::Int("temp", &temp)});
    // Multiplied in as they stand: other values than 0 and 1 set other bits.
    flags = PICTURE_SURFACE | unsigned(transparent) * 2u | unsigned(sysmem) * 4u;
    if (picture)
        PictureCacheRelease(picture);
    if (filename.empty())
        return false;
    if (!temp)
        TakePicture();
    return true;
}

void MenuPicture::Draw(Picture* target, int px, int py) {
    if (temp)
        TakePicture();
    if (picture)
        picture->Draw(target, px + x, py + y);
}

// Only gives a temp picture back: the control's children and open state are
// left as they are.
void MenuPicture::Deactivate() {
    if (temp && picture)
        PictureCacheRelease(picture);
}

void MenuPicture::EditDraw(Picture* target, int px, int py) {
    Draw(target, px, py);
    OutlinePicture(target, picture, px + x, py + y);
}

bool MenuPicture::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        const char* in = indent->c_str();
        AppendFormat(out,
                     "%sfilename = \"%s\";\r\n%stransparent = %d;\r\n%ssysmem = %d;\r\n"
                     "%stemp = %d;\r\n",
                     in, filename.c_str(), in, (flags & PICTURE_TRANSPARENT) ? 1 : 0, in,
                     (flags & PICTURE_SYSMEM) ? 1 : 0, in, temp);
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}

// --- MenuAnimation ------------------------------------------------------------

MenuAnimation::MenuAnimation(MenuWrapper* parentControl) : MenuWrapper(parentControl) {
    className = "MenuAnimation";
    classNumber = MENU_ANIMATION;
}

MenuAnimation::~MenuAnimation() {
    MenuAnimation::Clear();
}

void MenuAnimation::ReleaseFrames() {
    if (!animation)
        return;
    for (int i = animation->frames.Count - 1; i >= 0; --i) {
        if (animation->frames.element[i])
            PictureCacheRelease(animation->frames.element[i]);
    }
}

void MenuAnimation::Clear() {
    MenuWrapper::Clear();
    // A temp animation's slots hold only what draw took; they go back here
    // (the animation would release them too, but the frames are ours).
    if (temp)
        ReleaseFrames();
    animation.reset();
}

bool MenuAnimation::Read(const ScriptBlock& block) {
    MenuWrapper::Read(block);
    ReadKeys(block, {KeyDef::Word("filestart", &filestart), KeyDef::Word("fileend", &fileend),
                     KeyDef::Int("filecount", &filecount), KeyDef::Int("startfile", &startfile),
                     KeyDef::Int("playnow", &playnow), KeyDef::Int("temp", &temp),
                     KeyDef::Real("frametime", &frametime)});
    if (temp)
        ReleaseFrames();
    animation.reset();
    if (filecount <= 0 || !(frametime > 0.0f) || !std::isfinite(frametime))
        return false;
    const int count = std::min(filecount, kMenuMaxFrames);
    if (temp) {
        animation = std::make_unique<FrameAnimation>(filestart.c_str(), fileend.c_str(), 0, 0,
                                                     PICTURE_SYSMEM);
        for (int i = 0; i < count; ++i)
            animation->frames.Append(nullptr);
    } else {
        animation = std::make_unique<FrameAnimation>(filestart.c_str(), fileend.c_str(), count, 0,
                                                     PICTURE_SYSMEM);
    }
    animation->frameTime = frametime;
    if (playnow) {
        animation->remaining = -1;
        animation->frame = 0;
        animation->playing = true;
        animation->forward = true;
        animation->elapsed = 0.0f;
        animation->loop = true;
    }
    return true;
}

bool MenuAnimation::Play(int frames, bool forward) {
    return animation && animation->Play(frames, forward);
}

void MenuAnimation::Update(float dt) {
    MenuWrapper::Update(dt);
    if (!animation)
        return;
    const int previous = animation->frame;
    animation->Advance(dt);
    if (temp && animation->frame != previous && previous >= 0 &&
        previous < animation->frames.Count && animation->frames.element[previous]) {
        PictureCacheRelease(animation->frames.element[previous]);
    }
}

void MenuAnimation::LoadCurrentFrame() {
    const int frame = animation->frame;
    if (frame < 0 || frame >= animation->frames.Count || animation->frames.element[frame])
        return;
    char name[260];
    const long long number =
        std::clamp<long long>(static_cast<long long>(startfile) + frame, INT32_MIN, INT32_MAX);
    FrameFileName(name, filestart.c_str(), int(number), fileend.c_str());
    animation->frames.element[frame] =
        PictureCacheGet(name, PICTURE_SURFACE | PICTURE_TRANSPARENT | PICTURE_SYSMEM);
}

void MenuAnimation::Draw(Picture* target, int px, int py) {
    if (!animation)
        return;
    if (temp)
        LoadCurrentFrame();
    animation->Draw(target, px + x, py + y);
}

// Only gives a temp animation's frames back, like a picture.
void MenuAnimation::Deactivate() {
    if (temp)
        ReleaseFrames();
}

void MenuAnimation::EditDraw(Picture* target, int px, int py) {
    Draw(target, px, py);
    if (animation)
        OutlinePicture(target, animation->Frame(animation->frame), px + x, py + y);
}

int MenuAnimation::HeldFrames() const {
    if (!animation)
        return 0;
    int held = 0;
    for (Picture* p : animation->frames)
        held += p != nullptr;
    return held;
}

bool MenuAnimation::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        const char* in = indent->c_str();
        AppendFormat(
            out,
            "%sfilestart = \"%s\";\r\n%sfileend = \"%s\";\r\n%sfilecount = %d;\r\n"
            "%sstartfile = %d;\r\n%sframetime = %f;\r\n%splaynow = %d;\r\n%stemp = %d;\r\n",
            in, filestart.c_str(), in, fileend.c_str(), in, filecount, in, startfile, in,
            double(frametime), in, playnow, in, temp);
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}

// --- MenuMsgWindow ------------------------------------------------------------

MenuMsgWindow::MenuMsgWindow(MenuWrapper* parentControl) : MenuWrapper(parentControl) {
    className = "MenuMsgWindow";
    classNumber = MENU_MSGWINDOW;
    lines.Append(FixedString<256>("<empty>"));
}

MenuMsgWindow::~MenuMsgWindow() {
    MenuMsgWindow::Clear();
}

void MenuMsgWindow::Clear() {
    MenuWrapper::Clear();
    if (font)
        GlobalFontCache().Release(font);
}

bool MenuMsgWindow::Read(const ScriptBlock& block) {
    MenuWrapper::Read(block);
    ReadKeys(block, {KeyDef::Int("h", &h), KeyDef::Word("font", &fontFile)});
    const int count = std::clamp(h, 0, kMenuMaxLines);
    lines.Clear();
    for (int i = 0; i < count; ++i)
        lines.Append(FixedString<256>());
    if (count > 0)
        lines[0] = "connecting...";
    if (font)
        GlobalFontCache().Release(font);
    if (!fontFile.empty())
        font = FontCacheGet(fontFile.c_str());
    return font != nullptr;
}

void MenuMsgWindow::Draw(Picture* target, int px, int py) {
    if (!font)
        return;
    int lineY = py + y;
    for (const FixedString<256>& line : lines) {
        font->DrawText(target, px + x, lineY, line.c_str(), 0);
        lineY += font->Height();
    }
}

bool MenuMsgWindow::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        const char* in = indent->c_str();
        AppendFormat(out, "%sh = %d;\r\n%sfont = \"%s\";\r\n", in, h, in, fontFile.c_str());
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}
