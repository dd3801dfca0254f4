#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/control_binding.h"
#include "input/replay.h"
#include "script/fixed_string.h"
#include "table/table.h"
#include "tools/zarnik-sim/random_shots.h"
#include "tools/zarnik-sim/sim_check.h"

class Display;
class ResourceArchive;

struct SimOptions {
    std::string table;
    int frames = 500;
    float dt = 0.01f;
    unsigned seed = 1;
    std::string inputFile;
    std::string shotsDir;
    int every = 0;
    bool trace = false;
    // Fail (exit code 3) on a ball that is not finite or a slow load.
    bool check = false;
    double loadLimit = kDefaultLoadLimit;  // seconds
    // A game's replay: its table (unless one is named), seed, frame times
    // and controls.
    std::string replayFile;
    // A table author's report after the run, judged against the outline.
    bool report = false;
    std::string outlineFile;
    // The random-shot search instead of a run.
    int randomShots = 0;
    // The first ball placed and thrown once the light show is over.
    bool hasShot = false;
    Shot shot;
    // Given on the command line (a replay brings its own).
    bool framesGiven = false, seedGiven = false, dtGiven = false;
    // A file naming one table per line, each run in turn with these options.
    std::string batchFile;
};

// false with a usage text in *error when the arguments can't be used.
bool ParseSimArgs(int argc, const char* const* argv, SimOptions* options, std::string* error);

// Runs a table headless: fixed frame time, recorded input, seeded random
// numbers, so the same inputs give the same run bit for bit.
class SimRunner {
public:
    SimRunner();
    ~SimRunner();

    // Opens data.pak when present, reads the bindings (or the replay's),
    // loads the table.
    bool Start(const SimOptions& options, std::string* error);
    // Applies this frame's input, updates and draws the table.
    void StepFrame();
    int FrameNumber() const { return frame_; }
    // The frame time the last frame was stepped with.
    float LastDt() const { return lastDt_; }
    // Any of the controls the table reads is down.
    bool ControlHeld() const;
    // The replay being played (frames 0 without one).
    const Replay& replay() const { return replay_; }
    bool Replaying() const { return !options_.replayFile.empty(); }
    // The frame the --shot was placed before (-1 until then).
    int ShotFrame() const { return shotFrame_; }
    // Seconds the table's load took.
    double LoadSeconds() const { return loadSeconds_; }

    // The frame time of the next frames (the options' --dt until then).
    void SetFrameTime(float dt) { options_.dt = dt; }
    // The control's key goes down or up for the next frames.
    bool SetControl(std::string_view control, bool down);

    // Per-ball trace lines of the frame just stepped.
    void WriteTrace(std::FILE* out) const;
    // Score, current ball, balls in play and every ball's state and motion.
    void WriteSummary(std::FILE* out) const;
    // Saves the back surface; false when there is none.
    bool SaveShot(const std::string& path);

    Table& table() { return *table_; }
    InputManager& input() { return input_; }

private:
    void DefaultBindings();

    SimOptions options_;
    std::unique_ptr<ResourceArchive> archive_;
    std::unique_ptr<Display> display_;
    platform::ManualKeyboard keyboard_;
    InputManager input_;
    std::unique_ptr<Table> table_;
    std::vector<InputEvent> events_;
    std::size_t nextEvent_ = 0;
    Replay replay_;
    ReplayFeeder feeder_;
    int frame_ = 0;
    int shotFrame_ = -1;
    float lastDt_ = 0.0f;
    double loadSeconds_ = 0.0;
};

// The whole run as the command line asks; returns the exit code: 0, 1 when
// the table, the recording, the replay or the outline can't be used, 3 when
// a --check fails.
int RunSim(const SimOptions& options, std::FILE* out);

// RunSim for every table of options.batchFile in one process, each between
// the lines "table PATH" and "exit CODE"; returns the highest exit code.
int RunSimBatch(const SimOptions& options, std::FILE* out);
