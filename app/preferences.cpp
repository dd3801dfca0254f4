// The player's settings: the file they are kept in between runs, and the
// preferences menu they are changed in.
#include "app/game_app.h"
#include "audio/cd_player.h"
#include "audio/sound_system.h"
#include "menu/menu_wrapper.h"

namespace {

// The four controls a player may bind, and the menu texts that show them.
struct ControlPreference {
    int GameControls::*index;
    const char* menuName;
};
constexpr ControlPreference kControlPreferences[] = {
    {&GameControls::leftHandle, "LEFTHANDLE_CONTROL"},
    {&GameControls::rightHandle, "RIGHTHANDLE_CONTROL"},
    {&GameControls::spring, "LAUNCH_CONTROL"},
    {&GameControls::tilt, "TILT_CONTROL"},
};

ControlBinding* BindingOf(InputManager& input, int GameControls::*index) {
    const int i = input.controls.*index;
    return i >= 0 && i < input.bindings.Count ? &input.bindings[i] : nullptr;
}

}  // namespace

float GameApp::AudioVolume() const {
    return GetSoundSystem().HasDevice() ? GetSoundSystem().GetAudioVolume() : audioVolume;
}

void GameApp::RestoreVolumes() {
    SavedSettings saved;
    saved.audioVolume = audioVolume;
    saved.cdVolume = GetCdPlayer().GetVolume();
    if (!ReadSettingsFile(SavedSettings::kPath, &saved))
        return;
    audioVolume = saved.audioVolume;
    if (GetSoundSystem().HasDevice())
        GetSoundSystem().SetAudioVolume(audioVolume);
    GetCdPlayer().SetVolume(saved.cdVolume);
}

bool GameApp::SaveSettings() {
    SavedSettings s;
    s.bpp = display.bpp;
    s.fullscreen = display.fullscreen ? 1 : 0;
    s.audioVolume = AudioVolume();
    s.cdVolume = GetCdPlayer().GetVolume();
    return WriteSettingsFile(SavedSettings::kPath, s);
}

void GameApp::PublishPreferences() {
    MenuSystem& menus = Menus();
    menus.SetInt("FULLSCREEN", display.fullscreen ? 1 : 0);
    menus.SetInt("TRUECOLOR", display.truecolor ? 1 : 0);
    menus.SetFloat("AUDIOVOLUME", AudioVolume());
    menus.SetFloat("CDVOLUME", GetCdPlayer().GetVolume());
    menus.SetInt("SHARPSCALE", window.GetScaleMode() == platform::ScaleMode::Sharp ? 1 : 0);
    for (const ControlPreference& c : kControlPreferences) {
        const ControlBinding* b = BindingOf(input, c.index);
        FixedString<32> key;
        // A code without a name leaves the menu's text as it is.
        if (b && KeyCodeToName(b->devicecode, &key))
            menus.SetString(c.menuName, key.view());
    }
}

void GameApp::TakeVideoPreferences() {
    MenuSystem& menus = Menus();
    std::int32_t v = 0;
    if (menus.GetInt("FULLSCREEN", &v) && (v != 0) != display.fullscreen) {
        display.fullscreen = !display.fullscreen;
        videoChanged = true;
    }
    // True colour is a full-screen choice: a window takes the desktop's depth.
    if (!display.fullscreen) {
        menus.SetInt("TRUECOLOR", display.truecolor ? 1 : 0);
    } else if (menus.GetInt("TRUECOLOR", &v) && (v != 0) != display.truecolor) {
        display.truecolor = !display.truecolor;
        videoChanged = true;
    }
}

void GameApp::TakeControlKeys() {
    for (const ControlPreference& c : kControlPreferences) {
        ControlBinding* b = BindingOf(input, c.index);
        FixedString<256> key;
        if (b && Menus().GetString(c.menuName, &key))
            b->devicecode = KeyNameToCode(key.view());
    }
}

void GameApp::TakePlayerName() {
    FixedString<256> name;
    if (Menus().GetString("PLAYER_NAME", &name))
        playerName = name.view();
}

void GameApp::TakeScalePreference() {
    std::int32_t v = 0;
    if (!Menus().GetInt("SHARPSCALE", &v))
        return;
    const bool sharp = v != 0;
    window.SetScaleMode(sharp ? platform::ScaleMode::Sharp : platform::ScaleMode::Smooth);
    if (options.sharpscale == (sharp ? 1 : 0))
        return;
    options.sharpscale = sharp ? 1 : 0;
    WriteOptionsFile(GameOptions::kPath, options);
}
