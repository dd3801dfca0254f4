#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/control_binding.h"
#include "script/fixed_string.h"

// Recordings of what drives a table: `frame control down|up` lines (the
// headless runner's --input), and whole games (replays) that add each
// frame's time and the table's seed to them.

// Decimal digits only (no sign, no blanks), within lo..hi; false otherwise.
bool ParseDecimal(std::string_view text, long long lo, long long hi, long long* value);

// One line of an input recording: `frame control down|up`.
struct InputEvent {
    int frame = 0;
    FixedString<32> control;
    bool down = false;
};

// Reads an input recording. Blank lines and lines starting with '#' are
// skipped. A line that is not `frame control down|up` fails the whole reading
// with its line number in *error. Events come out in frame order (those of
// one frame in file order).
bool ParseInputRecording(std::string_view text, std::vector<InputEvent>* events,
                         std::string* error);

// The controls the table reads, the only ones a replay records.
enum ReplayControl : std::uint8_t {
    REPLAY_LEFTHANDLE = 0,
    REPLAY_RIGHTHANDLE = 1,
    REPLAY_SPRING = 2,
    REPLAY_TILT = 3,
    REPLAY_CONTROL_COUNT = 4,
};
// "LEFTHANDLE", "RIGHTHANDLE", "SPRING", "TILT".
const char* ReplayControlName(int control);

struct ReplayEvent {
    std::int32_t frame = 0;
    std::uint8_t control = 0;
    bool down = false;
};

// Frames from `first` on take `ms` milliseconds, up to the next run.
struct ReplayTimeRun {
    std::int32_t first = 0;
    std::int32_t ms = 0;
};

// A whole game: the table, the seed its random numbers started from, whether
// its welcome message was up at the load, then for every frame its time and
// the controls that changed before it.
//
//   # zarnik replay
//   version 1
//   table data\tables\t0000.script
//   seed 3141592653
//   welcome 1
//   frames 10800
//   time 0 100 17 16*2 17
//   3 SPRING down
//   time 5 ...
//
// A `time FIRST v v ...` line gives the times of frames FIRST, FIRST + 1, ...;
// `v*n` is n frames of v ms. Time lines follow one another without a gap and
// cover exactly `frames` frames.
struct Replay {
    static constexpr int kVersion = 1;
    // Bounds a reader holds every file to.
    static constexpr std::size_t kMaxBytes = 16u << 20;
    static constexpr std::size_t kMaxLine = 4096;
    static constexpr std::int32_t kMaxFrames = 10000000;
    static constexpr std::size_t kMaxEvents = 4000000;
    static constexpr std::int32_t kMaxFrameTime = 100;

    FixedString<260> table;
    std::uint32_t seed = 0;
    bool welcome = true;
    std::int32_t frames = 0;
    std::vector<ReplayTimeRun> times;
    std::vector<ReplayEvent> events;

    // The frame's time in ms; 0 outside the recording.
    std::int32_t FrameTime(std::int32_t frame) const;
    // Milliseconds of the whole recording.
    std::int64_t TotalMs() const;
};

// A table path a replay may name: relative, without "..", under 260
// characters, no control characters or drive colon. A game on any other
// table is played unrecorded.
bool ReplayTablePathAllowed(std::string_view path);

// False, with the line number and what is wrong in *error, for anything that
// is not a replay within the bounds above; *replay is then left empty.
bool ParseReplay(std::string_view text, Replay* replay, std::string* error);
// The file's text.
std::string FormatReplay(const Replay& replay);
// Reads and parses a file of the loose data tree (backslash paths welcome).
bool ReadReplayFile(const char* path, Replay* replay, std::string* error);

// Builds a replay while a game is played: each frame, before the table's
// update, the frame's time and the controls as the table will read them.
class ReplayRecorder {
public:
    // Recording starts unless the table's path is not one a replay may name.
    void Begin(std::string_view table, std::uint32_t seed, bool welcome);
    // A frame of the game, about to be played.
    void Frame(std::int32_t ms, const bool (&down)[REPLAY_CONTROL_COUNT]);
    // The game changed in a way its replay can't follow (or ended): no more frames.
    void Stop() { recording_ = false; }

    bool Recording() const { return recording_; }
    const Replay& replay() const { return replay_; }

private:
    Replay replay_;
    bool down_[REPLAY_CONTROL_COUNT] = {};
    bool recording_ = false;
};

// The controls a replay drives, on keys of their own: a player's bindings may
// put two controls on one key, a replay must not.
void BindReplayControls(InputManager* input);

// Plays a replay into a keyboard: before each frame, the frame's control
// changes go onto the keys of the input's bindings.
class ReplayFeeder {
public:
    ReplayFeeder() = default;
    explicit ReplayFeeder(const Replay* replay) : replay_(replay) {}

    // Sets the keys for frame `Frame()` and gives its time; false after the
    // last frame.
    bool Next(const InputManager& input, platform::ManualKeyboard* keys, std::int32_t* ms);
    std::int32_t Frame() const { return frame_; }
    bool Done() const { return replay_ == nullptr || frame_ >= replay_->frames; }

private:
    const Replay* replay_ = nullptr;
    std::int32_t frame_ = 0;
    std::size_t nextEvent_ = 0;
    std::size_t run_ = 0;
};
