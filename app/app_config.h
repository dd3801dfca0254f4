#pragma once

#include <cstdint>
#include <memory>

#include "script/fixed_string.h"
#include "script/script_block.h"

class ZarnikScr;

// The sections of "data\config.script". Each block is the section's body;
// a section the script lacks has an empty block (its readers keep their
// defaults).
enum ConfigSection : int {
    SECTION_VIDEO = 0,
    SECTION_STARTUP,
    SECTION_SOUND,  // accepted and ignored
    SECTION_MENU,   // handed whole to the game screen
    SECTION_TABLES,
    SECTION_POINTERS,  // handed whole to the mouse cursors
    SECTION_COUNT
};

// The configuration script and its section blocks, kept for the whole run.
class AppConfig {
public:
    static constexpr const char* kPath = "data\\config.script";

    AppConfig();
    ~AppConfig();
    AppConfig(const AppConfig&) = delete;
    AppConfig& operator=(const AppConfig&) = delete;

    // Loads the script (a missing one has been reported by the loader) and
    // finds its sections. Always succeeds.
    void Read(const char* path = kPath);
    // The same from script text (tests).
    void ReadText(const char* text);

    bool Has(ConfigSection s) const { return present_[s]; }
    // The section's body; an empty block over the script when missing.
    const ScriptBlock& Section(ConfigSection s) const { return sections_[s]; }

private:
    void FindSections();

    std::unique_ptr<ZarnikScr> script_;
    ScriptBlock whole_;
    ScriptBlock sections_[SECTION_COUNT];
    bool present_[SECTION_COUNT] = {};
};

// Keys of the `video` section, as the display and the system font use them.
struct VideoSettings {
    std::int32_t width = 800;
    std::int32_t height = 600;
    std::int32_t bpp = 16;
    std::int32_t refresh = 0;
    std::int32_t fullscreen = 0;
    std::int32_t truecolor = 0;   // not a key: a preference, full screen only
    std::int32_t sharpscale = 0;  // 1: whole multiples, unfiltered, in a larger window
    FixedString<256> systemfont = "data\\fonts\\default.bmp";
};
// A screen side outside 1..kMaxScreenSide pixels keeps the default (800 x
// 600): no window or back surface could be made of it.
inline constexpr std::int32_t kMaxScreenSide = 8192;
void ReadVideoKeys(const ScriptBlock& section, VideoSettings* video);

// Keys of the `startup` section.
struct StartupSettings {
    FixedString<256> loading;
    FixedString<256> mainmenu;
    FixedString<256> splashstart;
    FixedString<256> splashend;
    std::int32_t splashcount = 0;
    float splashtime = 0.0625f;
    std::int32_t splash_x = 0;
    std::int32_t splash_y = 0;
};
void ReadStartupKeys(const ScriptBlock& section, StartupSettings* startup);

// "data\settings": the player's last choices, 16 bytes, little-endian.
struct SavedSettings {
    static constexpr const char* kPath = "data\\settings";
    static constexpr int kSize = 16;

    std::int32_t bpp = 16;
    std::int32_t fullscreen = 0;
    float audioVolume = 1.0f;
    float cdVolume = 1.0f;
};

// The 16 bytes of the file.
void EncodeSettings(const SavedSettings& s, std::uint8_t (&bytes)[SavedSettings::kSize]);
// Takes the whole fields among `size` bytes; the rest keep their values.
// Volumes that are not numbers are refused; the others are kept in 0..1.
void DecodeSettings(const std::uint8_t* bytes, std::size_t size, SavedSettings* s);

// Reads the file's fields over *s; false (nothing changed) when it can't be
// opened.
bool ReadSettingsFile(const char* path, SavedSettings* s);
// Writes a temporary file beside it and renames it into place, so the old
// file stays whole until the new one is complete.
bool WriteSettingsFile(const char* path, const SavedSettings& s);

// Video settings from the configuration, then bpp and full screen from the
// settings file, then safe mode's window.
void ApplySavedVideo(const char* settingsPath, bool safemode, VideoSettings* video);
