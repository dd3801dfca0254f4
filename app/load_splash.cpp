#include "app/load_splash.h"

#include <sys/stat.h>

#include "app/app_config.h"
#include "render/display.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/file_access.h"

namespace {

bool FrameExists(const char* prefix, int number, const char* suffix) {
    char name[260];
    FrameFileName(name, prefix, number, suffix);
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (FindResource(name, &data, &size))
        return true;
    struct stat st;
    return stat(ResolveLoosePath(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

LoadSplash::LoadSplash() = default;
LoadSplash::~LoadSplash() = default;

void LoadSplash::Release() {
    packed_.reset();
    loose_.reset();
    display_ = nullptr;
}

bool LoadSplash::Create(const StartupSettings& s, Display* display) {
    Release();
    display_ = display;
    x_ = s.splash_x;
    y_ = s.splash_y;
    if (s.splashstart.empty() || s.splashcount <= 0)
        return false;
    const int count = s.splashcount < kMaxFrames ? s.splashcount : kMaxFrames;
    // A frame time of 0 or less, or not a number, would never move.
    const float frameTime = s.splashtime > 0.0f ? s.splashtime : StartupSettings().splashtime;
    packed_ =
        std::make_unique<ArchiveAnimation>(s.splashstart.c_str(), s.splashend.c_str(), count, 0);
    if (packed_->valid) {
        packed_->frameTime = frameTime;
        return true;
    }
    packed_.reset();
    // Loose frames: as many as there are in a row, so a count far beyond the
    // files does not try (and report) each missing one.
    int present = 0;
    while (present < count && FrameExists(s.splashstart.c_str(), present, s.splashend.c_str()))
        ++present;
    if (present == 0)
        return false;
    loose_ =
        std::make_unique<FrameAnimation>(s.splashstart.c_str(), s.splashend.c_str(), present, 0, 0);
    loose_->frameTime = frameTime;
    return true;
}

int LoadSplash::Frame() const {
    return packed_ ? packed_->frame : loose_ ? loose_->frame : -1;
}

void LoadSplash::LoadStarted() {
    shown_ = -1;
    if (packed_) {
        packed_->SetFrame(0);
        packed_->elapsed = 0.0f;
        packed_->forward = true;
        packed_->loop = true;
        packed_->playing = true;
    } else if (loose_) {
        loose_->SetFrame(0);
        loose_->playing = false;
        loose_->Play(-1, true);
    }
    Show();
}

void LoadSplash::StatementRead(float seconds) {
    if (packed_)
        packed_->Advance(seconds);
    else if (loose_)
        loose_->Advance(seconds);
    Show();
}

void LoadSplash::LoadFinished() {
    if (packed_)
        packed_->playing = false;
    if (loose_)
        loose_->playing = false;
}

void LoadSplash::Show() {
    const int frame = Frame();
    if (frame < 0 || frame == shown_ || !display_ || !display_->BackPicture())
        return;
    shown_ = frame;
    if (packed_)
        packed_->Draw(display_->BackPicture(), x_, y_);
    else
        loose_->Draw(display_->BackPicture(), x_, y_);
    display_->Present();
    ++presents_;
}
