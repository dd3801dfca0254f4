#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/control_binding.h"
#include "script/fixed_string.h"
#include "table/table.h"
#include "tools/zarnik-sim/sim_check.h"

class Display;
class ResourceArchive;

// One line of an input recording: `frame control down|up`.
struct InputEvent {
    int frame = 0;
    FixedString<32> control;
    bool down = false;
};

// Reads a recording. Blank lines and lines starting with '#' are skipped.
// A line that is not `frame control down|up` fails the whole reading with
// its line number in *error.
bool ParseInputRecording(std::string_view text, std::vector<InputEvent>* events,
                         std::string* error);

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
};

// false with a usage text in *error when the arguments can't be used.
bool ParseSimArgs(int argc, const char* const* argv, SimOptions* options, std::string* error);

// Runs a table headless: fixed frame time, recorded input, seeded random
// numbers, so the same inputs give the same run bit for bit.
class SimRunner {
public:
    SimRunner();
    ~SimRunner();

    // Opens data.pak when present, reads the bindings, loads the table.
    bool Start(const SimOptions& options, std::string* error);
    // Applies this frame's input, updates and draws the table.
    void StepFrame();
    int FrameNumber() const { return frame_; }
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
    int frame_ = 0;
    double loadSeconds_ = 0.0;
};

// The whole run as the command line asks; returns the exit code: 0, 1 when
// the table or the recording can't be used, 3 when a --check fails.
int RunSim(const SimOptions& options, std::FILE* out);
