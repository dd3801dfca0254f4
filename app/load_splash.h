#pragma once

#include <memory>

#include "table/table.h"

class ArchiveAnimation;
class Display;
class FrameAnimation;
struct StartupSettings;

// The animation a player sees while a table loads: advanced by the time each
// statement of the table script took, drawn over the loading picture and
// presented whenever its frame changes (not after every statement: with vsync
// each present waits for the screen, and a table has hundreds of statements).
//   LoadSplash s;  s.Create(startup, &display);  table.Load(path, player, &s);
class LoadSplash : public TableLoadObserver {
public:
    // Longer sequences are cut: each frame is a picture.
    static constexpr int kMaxFrames = 4096;

    LoadSplash();
    ~LoadSplash() override;

    // Frames from the data archive when it holds them all, else loose files.
    // False (and no splash) when there is no frame to show.
    bool Create(const StartupSettings& startup, Display* display);
    void Release();
    bool Exists() const { return packed_ || loose_; }
    int Frame() const;
    int Presents() const { return presents_; }

    void LoadStarted() override;
    void StatementRead(float seconds) override;
    void LoadFinished() override;

private:
    void Show();

    std::unique_ptr<ArchiveAnimation> packed_;
    std::unique_ptr<FrameAnimation> loose_;
    Display* display_ = nullptr;
    int x_ = 0, y_ = 0;
    int shown_ = -1;
    int presents_ = 0;
};
