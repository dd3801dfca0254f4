#pragma once

#include <cstdint>
#include <memory>

#include "menu/menu_wrapper.h"

class Font;
class FrameAnimation;

// One picture from the PictureCache. With temp it is taken only when drawn
// and given back when the control is deactivated.
class MenuPicture : public MenuWrapper {
public:
    explicit MenuPicture(MenuWrapper* parent = nullptr);
    ~MenuPicture() override;

    void Clear() override;
    bool Read(const ScriptBlock& block) override;
    void Draw(Picture* target, int x, int y) override;
    void Deactivate() override;
    void EditDraw(Picture* target, int x, int y) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;

    FixedString<260> filename;
    Picture* picture = nullptr;
    unsigned flags = 0;
    std::int32_t temp = 0;

private:
    void TakePicture();
};

// A numbered-file animation (the table selector is one). With temp only the
// shown frame's picture is held: loaded when drawn, given back when the
// frame changes or the control is deactivated.
class MenuAnimation : public MenuWrapper {
public:
    explicit MenuAnimation(MenuWrapper* parent = nullptr);
    ~MenuAnimation() override;

    bool Play(int frames, bool forward) override;
    void Clear() override;
    bool Read(const ScriptBlock& block) override;
    void Update(float dt) override;
    void Draw(Picture* target, int x, int y) override;
    void Deactivate() override;
    void EditDraw(Picture* target, int x, int y) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;

    // Frame pictures held now (temp animations hold at most one).
    int HeldFrames() const;

    std::unique_ptr<FrameAnimation> animation;
    FixedString<260> filestart, fileend;
    std::int32_t filecount = 0;
    float frametime = 0.0f;
    std::int32_t startfile = 0;
    std::int32_t temp = 0;
    std::int32_t playnow = 0;

private:
    void LoadCurrentFrame();
    void ReleaseFrames();
};

// A fixed number of text lines drawn with a font.
class MenuMsgWindow : public MenuWrapper {
public:
    explicit MenuMsgWindow(MenuWrapper* parent = nullptr);
    ~MenuMsgWindow() override;

    void Clear() override;
    bool Read(const ScriptBlock& block) override;
    void Draw(Picture* target, int x, int y) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;

    std::int32_t h = 1;
    flist<FixedString<256>> lines;  // top to bottom
    FixedString<260> fontFile;
    Font* font = nullptr;  // from the FontCache
};
