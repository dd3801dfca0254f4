#include "input/replay.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>

#include "script/file_access.h"

namespace {

const char* const kControlNames[REPLAY_CONTROL_COUNT] = {"LEFTHANDLE", "RIGHTHANDLE", "SPRING",
                                                         "TILT"};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The next blank-separated word of s, removed from it.
std::string_view NextWord(std::string_view* s) {
    *s = Trim(*s);
    std::size_t end = 0;
    while (end < s->size() && !IsBlank((*s)[end]))
        ++end;
    std::string_view word = s->substr(0, end);
    s->remove_prefix(end);
    return word;
}

// Splits text into lines, numbering them; false at a line that is too long.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool Next(std::string_view* line) {
        if (text_.empty())
            return false;
        const std::size_t eol = text_.find('\n');
        *line = text_.substr(0, eol);
        text_.remove_prefix(eol == std::string_view::npos ? text_.size() : eol + 1);
        ++number_;
        return true;
    }
    int Number() const { return number_; }

private:
    std::string_view text_;
    int number_ = 0;
};

bool Fail(std::string* error, int line, const char* what) {
    *error = "line " + std::to_string(line) + ": " + what;
    return false;
}

bool SafeTablePath(std::string_view path) {
    if (path.empty() || path.size() >= 260 || path.front() == '/' || path.front() == '\\')
        return false;
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == ':' || c == 0x7F)
            return false;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("/\\", start);
        if (end == std::string_view::npos)
            end = path.size();
        if (path.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

int ReplayControlOf(std::string_view name) {
    for (int c = 0; c < REPLAY_CONTROL_COUNT; ++c) {
        const std::string_view known = kControlNames[c];
        if (known.size() == name.size() && strncasecmp(known.data(), name.data(), name.size()) == 0)
            return c;
    }
    return -1;
}

// `frame control down|up`, the control up to 31 characters.
bool ParseEventLine(std::string_view line, long long maxFrame, long long* frame,
                    std::string_view* control, bool* down) {
    const std::string_view frameText = NextWord(&line);
    *control = NextWord(&line);
    const std::string_view action = NextWord(&line);
    if (!ParseDecimal(frameText, 0, maxFrame, frame) || control->empty() || control->size() >= 32)
        return false;
    if (action != "down" && action != "up")
        return false;
    *down = action == "down";
    return Trim(line).empty();
}

}  // namespace

bool ParseDecimal(std::string_view text, long long lo, long long hi, long long* value) {
    // 18 digits cannot overflow; longer numbers are out of any range we take.
    if (text.empty() || text.size() > 18)
        return false;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi)
        return false;
    *value = v;
    return true;
}

bool ParseInputRecording(std::string_view text, std::vector<InputEvent>* events,
                         std::string* error) {
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(&line)) {
        line = Trim(line);
        if (line.empty() || line.front() == '#')
            continue;
        long long frame = 0;
        std::string_view control;
        bool down = false;
        if (!ParseEventLine(line, 1000000000, &frame, &control, &down)) {
            *error = "input line " + std::to_string(lines.Number()) +
                     ": expected 'frame control down|up'";
            return false;
        }
        InputEvent e;
        e.frame = int(frame);
        e.control = control;
        e.down = down;
        events->push_back(e);
    }
    // Events of one frame keep their file order.
    std::stable_sort(events->begin(), events->end(),
                     [](const InputEvent& a, const InputEvent& b) { return a.frame < b.frame; });
    return true;
}

bool ReplayTablePathAllowed(std::string_view path) {
    return SafeTablePath(path);
}

const char* ReplayControlName(int control) {
    return control >= 0 && control < REPLAY_CONTROL_COUNT ? kControlNames[control] : "";
}

std::int32_t Replay::FrameTime(std::int32_t frame) const {
    if (frame < 0 || frame >= frames || times.empty())
        return 0;
    auto after =
        std::upper_bound(times.begin(), times.end(), frame,
                         [](std::int32_t f, const ReplayTimeRun& r) { return f < r.first; });
    return after == times.begin() ? 0 : (after - 1)->ms;
}

std::int64_t Replay::TotalMs() const {
    std::int64_t total = 0;
    for (std::size_t i = 0; i < times.size(); ++i) {
        const std::int32_t end = i + 1 < times.size() ? times[i + 1].first : frames;
        total += std::int64_t(end - times[i].first) * times[i].ms;
    }
    return total;
}

bool ParseReplay(std::string_view text, Replay* replay, std::string* error) {
    *replay = Replay();
    Replay r;
    if (text.size() > Replay::kMaxBytes) {
        *error = "the replay is larger than " + std::to_string(Replay::kMaxBytes >> 20) + " MiB";
        return false;
    }
    LineReader lines(text);
    std::string_view line;
    bool haveVersion = false, haveTable = false, haveSeed = false, haveFrames = false;
    std::int32_t covered = 0;  // frames the time lines gave so far
    auto failed = [&](const char* what) { return Fail(error, lines.Number(), what); };
    while (lines.Next(&line)) {
        if (line.size() > Replay::kMaxLine)
            return failed("line too long");
        line = Trim(line);
        if (line.empty() || line.front() == '#')
            continue;
        std::string_view rest = line;
        const std::string_view word = NextWord(&rest);
        long long v = 0;
        if (!haveVersion) {
            if (word != "version" || !ParseDecimal(Trim(rest), 0, 1000000, &v))
                return failed("a replay starts with 'version N'");
            if (v != Replay::kVersion)
                return failed("a replay of another version");
            haveVersion = true;
        } else if (word == "table") {
            const std::string_view path = Trim(rest);
            if (!SafeTablePath(path))
                return failed("the table must be a relative path inside the game's folder");
            r.table = path;
            haveTable = true;
        } else if (word == "seed") {
            if (!ParseDecimal(Trim(rest), 0, 4294967295LL, &v))
                return failed("the seed is a number from 0 to 4294967295");
            r.seed = std::uint32_t(v);
            haveSeed = true;
        } else if (word == "welcome") {
            if (!ParseDecimal(Trim(rest), 0, 1, &v))
                return failed("welcome is 0 or 1");
            r.welcome = v != 0;
        } else if (word == "frames") {
            if (haveFrames || !ParseDecimal(Trim(rest), 0, Replay::kMaxFrames, &v))
                return failed("frames is given once, from 0 to 10000000");
            r.frames = std::int32_t(v);
            haveFrames = true;
        } else if (word == "time") {
            if (!haveFrames)
                return failed("'frames' comes before the times");
            if (!ParseDecimal(NextWord(&rest), 0, Replay::kMaxFrames, &v) || v != covered)
                return failed("a time line starts at the first frame not yet timed");
            for (std::string_view token = NextWord(&rest); !token.empty();
                 token = NextWord(&rest)) {
                const std::size_t star = token.find('*');
                long long ms = 0, count = 1;
                if (!ParseDecimal(token.substr(0, star), 0, Replay::kMaxFrameTime, &ms))
                    return failed("a frame time is 0 to 100 ms");
                if (star != std::string_view::npos &&
                    !ParseDecimal(token.substr(star + 1), 1, Replay::kMaxFrames, &count))
                    return failed("a run of frames is 1 to 10000000 long");
                if (count > r.frames - covered)
                    return failed("more frame times than frames");
                if (r.times.empty() || r.times.back().ms != ms)
                    r.times.push_back({covered, std::int32_t(ms)});
                covered += std::int32_t(count);
            }
        } else {
            long long frame = 0;
            std::string_view control;
            bool down = false;
            if (!ParseEventLine(line, Replay::kMaxFrames, &frame, &control, &down))
                return failed("expected 'frame control down|up'");
            const int c = ReplayControlOf(control);
            if (c < 0)
                return failed("a replay drives LEFTHANDLE, RIGHTHANDLE, SPRING and TILT only");
            if (!haveFrames || frame >= r.frames)
                return failed("a control change after the last frame");
            if (r.events.size() >= Replay::kMaxEvents)
                return failed("too many control changes");
            r.events.push_back({std::int32_t(frame), std::uint8_t(c), down});
        }
    }
    if (!haveVersion || !haveTable || !haveSeed || !haveFrames) {
        *error = "a replay needs version, table, seed and frames";
        return false;
    }
    if (covered != r.frames) {
        *error = "the times cover " + std::to_string(covered) + " of " + std::to_string(r.frames) +
                 " frames";
        return false;
    }
    std::stable_sort(r.events.begin(), r.events.end(),
                     [](const ReplayEvent& a, const ReplayEvent& b) { return a.frame < b.frame; });
    *replay = std::move(r);
    return true;
}

std::string FormatReplay(const Replay& r) {
    std::string out = "# zarnik replay: each frame's time in ms, then the controls' changes\n";
    out += "version " + std::to_string(Replay::kVersion) + "\n";
    out += "table " + std::string(r.table.view()) + "\n";
    out += "seed " + std::to_string(r.seed) + "\n";
    out += std::string("welcome ") + (r.welcome ? "1" : "0") + "\n";
    out += "frames " + std::to_string(r.frames) + "\n";
    constexpr int kTokensPerLine = 32;
    std::size_t run = 0, event = 0;
    std::int32_t f = 0;
    while (f < r.frames) {
        out += "time " + std::to_string(f);
        for (int k = 0; k < kTokensPerLine && f < r.frames; ++k) {
            while (run + 1 < r.times.size() && r.times[run + 1].first <= f)
                ++run;
            const std::int32_t ms = run < r.times.size() ? r.times[run].ms : 0;
            const std::int32_t end = run + 1 < r.times.size() ? r.times[run + 1].first : r.frames;
            // Runs of two frames are written as two times: "16 16" is
            // shorter than "16*2" only from three on.
            const std::int32_t n = end - f >= 3 ? end - f : 1;
            out += ' ' + std::to_string(ms);
            if (n > 1)
                out += '*' + std::to_string(n);
            f += n;
        }
        out += '\n';
        for (; event < r.events.size() && r.events[event].frame < f; ++event) {
            const ReplayEvent& e = r.events[event];
            out += std::to_string(e.frame) + ' ' + ReplayControlName(e.control) +
                   (e.down ? " down\n" : " up\n");
        }
    }
    return out;
}

bool ReadReplayFile(const char* path, Replay* replay, std::string* error) {
    std::FILE* f = OpenLooseFile(path, "rb");
    if (f == nullptr) {
        *error = std::string("can't read '") + path + "'";
        return false;
    }
    std::string text;
    char buffer[65536];
    bool tooBig = false;
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
        if (text.size() + n > Replay::kMaxBytes) {
            tooBig = true;
            break;
        }
        text.append(buffer, n);
    }
    std::fclose(f);
    if (tooBig) {
        *error = std::string("'") + path + "' is larger than a replay can be";
        return false;
    }
    if (!ParseReplay(text, replay, error)) {
        *error = std::string("'") + path + "' " + *error;
        return false;
    }
    return true;
}

void ReplayRecorder::Begin(std::string_view table, std::uint32_t seed, bool welcome) {
    replay_ = Replay();
    replay_.table = table;
    replay_.seed = seed;
    replay_.welcome = welcome;
    for (bool& d : down_)
        d = false;
    recording_ = SafeTablePath(table);
}

void ReplayRecorder::Frame(std::int32_t ms, const bool (&down)[REPLAY_CONTROL_COUNT]) {
    if (!recording_)
        return;
    // A recording no reader would take is not made: the game goes on unrecorded.
    std::size_t changes = 0;
    for (int c = 0; c < REPLAY_CONTROL_COUNT; ++c)
        changes += down[c] != down_[c];
    if (replay_.frames >= Replay::kMaxFrames ||
        replay_.events.size() + changes > Replay::kMaxEvents) {
        recording_ = false;
        return;
    }
    ms = std::clamp(ms, std::int32_t(0), Replay::kMaxFrameTime);
    if (replay_.times.empty() || replay_.times.back().ms != ms)
        replay_.times.push_back({replay_.frames, ms});
    for (int c = 0; c < REPLAY_CONTROL_COUNT; ++c) {
        if (down[c] != down_[c]) {
            replay_.events.push_back({replay_.frames, std::uint8_t(c), down[c]});
            down_[c] = down[c];
        }
    }
    ++replay_.frames;
}

void BindReplayControls(InputManager* input) {
    struct Key {
        const char* control;
        const char* key;
    };
    static const Key kKeys[] = {{"LEFTHANDLE", "LSHIFT"},
                                {"RIGHTHANDLE", "RSHIFT"},
                                {"SPRING", "SPACE"},
                                {"EXIT", "ESCAPE"},
                                {"TILT", "T"}};
    input->bindings.Clear();
    for (const Key& k : kKeys) {
        ControlBinding b;
        b.name = k.control;
        b.device = DEVICE_KEYBOARD;
        b.devicecode = KeyNameToCode(k.key);
        input->bindings.Append(b);
    }
    input->FindGameControls();
}

bool ReplayFeeder::Next(const InputManager& input, platform::ManualKeyboard* keys,
                        std::int32_t* ms) {
    if (Done())
        return false;
    const Replay& r = *replay_;
    const int index[REPLAY_CONTROL_COUNT] = {input.controls.leftHandle, input.controls.rightHandle,
                                             input.controls.spring, input.controls.tilt};
    for (; nextEvent_ < r.events.size() && r.events[nextEvent_].frame <= frame_; ++nextEvent_) {
        const ReplayEvent& e = r.events[nextEvent_];
        const int b = index[e.control];
        if (b >= 0 && b < input.bindings.Count && input.bindings[b].device == DEVICE_KEYBOARD)
            keys->Set(input.bindings[b].devicecode, e.down);
    }
    while (run_ + 1 < r.times.size() && r.times[run_ + 1].first <= frame_)
        ++run_;
    *ms = run_ < r.times.size() ? r.times[run_].ms : 0;
    ++frame_;
    return true;
}
