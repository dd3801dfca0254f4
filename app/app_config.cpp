#include "app/app_config.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_store.h"
#include "script/file_access.h"
#include "script/zarnik_script.h"

namespace {

const SubBlockDef kSections[] = {
    {"video", SECTION_VIDEO}, {"startup", SECTION_STARTUP}, {"sound", SECTION_SOUND},
    {"menu", SECTION_MENU},   {"tables", SECTION_TABLES},   {"pointers", SECTION_POINTERS},
};

std::int32_t GetI32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

void PutI32(std::uint8_t* p, std::int32_t v) {
    const std::uint32_t u = std::uint32_t(v);
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(u >> (8 * i));
}

float GetF32(const std::uint8_t* p) {
    const std::int32_t bits = GetI32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void PutF32(std::uint8_t* p, float f) {
    std::int32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    PutI32(p, bits);
}

// A volume from the file: a number kept in 0..1, anything else refused.
void TakeVolume(float v, float* out) {
    if (std::isnan(v))
        return;
    *out = v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

}  // namespace

AppConfig::AppConfig() = default;
AppConfig::~AppConfig() = default;

void AppConfig::Read(const char* path) {
    script_ = std::make_unique<ZarnikScr>(path);
    FindSections();
}

void AppConfig::ReadText(const char* text) {
    script_ = std::make_unique<ZarnikScr>(text, int(std::strlen(text)));
    FindSections();
}

void AppConfig::FindSections() {
    whole_ = WholeScript(*script_);
    for (int s = 0; s < SECTION_COUNT; ++s) {
        sections_[s] = ScriptBlock{script_.get(), &whole_, 0, 0};
        present_[s] = false;
    }
    // A section named twice: the first one counts.
    ForEachSubBlock(whole_, kSections, [&](int id, const ScriptBlock& sub, int) {
        if (present_[id])
            return;
        sections_[id] = sub;
        present_[id] = true;
    });
}

void ReadVideoKeys(const ScriptBlock& section, VideoSettings* v) {
    ReadKeys(section,
             {KeyDef::Int("width", &v->width), KeyDef::Int("height", &v->height),
              KeyDef::Int("bpp", &v->bpp), KeyDef::Int("refresh", &v->refresh),
              KeyDef::Int("fullscreen", &v->fullscreen), KeyDef::Int("sharpscale", &v->sharpscale),
              KeyDef::Word("systemfont", &v->systemfont)});
    if (v->width < 1 || v->width > kMaxScreenSide || v->height < 1 || v->height > kMaxScreenSide) {
        v->width = VideoSettings().width;
        v->height = VideoSettings().height;
    }
}

void ReadStartupKeys(const ScriptBlock& section, StartupSettings* s) {
    ReadKeys(
        section,
        {KeyDef::Word("loading", &s->loading), KeyDef::Word("mainmenu", &s->mainmenu),
         KeyDef::Word("splashstart", &s->splashstart), KeyDef::Word("splashend", &s->splashend),
         KeyDef::Int("splashcount", &s->splashcount), KeyDef::Real("splashtime", &s->splashtime),
         KeyDef::Int("splash_x", &s->splash_x), KeyDef::Int("splash_y", &s->splash_y)});
}

void EncodeSettings(const SavedSettings& s, std::uint8_t (&bytes)[SavedSettings::kSize]) {
    PutI32(bytes + 0, s.bpp);
    PutI32(bytes + 4, s.fullscreen);
    PutF32(bytes + 8, s.audioVolume);
    PutF32(bytes + 12, s.cdVolume);
}

void DecodeSettings(const std::uint8_t* bytes, std::size_t size, SavedSettings* s) {
    if (size >= 4)
        s->bpp = GetI32(bytes + 0);
    if (size >= 8)
        s->fullscreen = GetI32(bytes + 4) != 0 ? 1 : 0;
    if (size >= 12)
        TakeVolume(GetF32(bytes + 8), &s->audioVolume);
    if (size >= 16)
        TakeVolume(GetF32(bytes + 12), &s->cdVolume);
}

bool ReadSettingsFile(const char* path, SavedSettings* s) {
    std::FILE* f = OpenLooseFile(path, "rb");
    if (!f)
        return false;
    std::uint8_t bytes[SavedSettings::kSize];
    const std::size_t n = std::fread(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    DecodeSettings(bytes, n, s);
    return true;
}

bool WriteSettingsFile(const char* path, const SavedSettings& s) {
    std::uint8_t bytes[SavedSettings::kSize];
    EncodeSettings(s, bytes);
    return platform::WriteFileAtomically(ResolveLoosePath(path), bytes, sizeof bytes);
}

void ApplySavedVideo(const char* settingsPath, bool safemode, VideoSettings* video) {
    SavedSettings saved;
    saved.bpp = video->bpp;
    saved.fullscreen = video->fullscreen;
    if (ReadSettingsFile(settingsPath, &saved)) {
        video->bpp = saved.bpp;
        video->fullscreen = saved.fullscreen;
    }
    if (safemode)
        video->fullscreen = 0;
}
