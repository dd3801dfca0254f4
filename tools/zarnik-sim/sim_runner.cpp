#include "tools/zarnik-sim/sim_runner.h"

#include <strings.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "archive/resource_archive.h"
#include "elements/table_elements.h"
#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "render/font.h"
#include "script/file_access.h"
#include "script/zarnik_script.h"
#include "table/game_random.h"
#include "tools/zarnik-sim/sim_check.h"

namespace {

constexpr const char* kUsage =
    "usage: zarnik-sim TABLE [--frames N] [--dt SECONDS] [--seed S] [--input FILE] "
    "[--shots DIR --every K] [--trace] [--check] [--load-limit SECONDS]\n"
    "       zarnik-sim [TABLE] --replay FILE [--frames N] [--trace] [--check] [--report]\n"
    "       zarnik-sim TABLE --report [--outline FILE] [--shot X,Y,VX,VY] [run options]\n"
    "       zarnik-sim TABLE --random-shots N [--seed S] [--dt SECONDS] [--outline FILE]\n"
    "       zarnik-sim --batch LIST [options]  (one table per line of LIST)";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool ParseFloat(const char* text, float lo, float hi, float* value) {
    char* end = nullptr;
    const float v = std::strtof(text, &end);
    if (end == text || *end != '\0' || !(v >= lo && v <= hi))
        return false;
    *value = v;
    return true;
}

// X,Y,VX,VY: a point inside -1..2 and a speed within the float range.
bool ParseShot(const char* text, Shot* shot) {
    std::string parts[4];
    int n = 0;
    for (const char* p = text; *p; ++p) {
        if (*p == ',') {
            if (++n > 3)
                return false;
        } else if (parts[n].size() < 40) {
            parts[n] += *p;
        } else {
            return false;
        }
    }
    return n == 3 && ParseFloat(parts[0].c_str(), -1.0f, 2.0f, &shot->from.x) &&
           ParseFloat(parts[1].c_str(), -1.0f, 2.0f, &shot->from.y) &&
           ParseFloat(parts[2].c_str(), -100.0f, 100.0f, &shot->speed.x) &&
           ParseFloat(parts[3].c_str(), -100.0f, 100.0f, &shot->speed.y);
}

bool LooseFileExists(const std::string& systemPath) {
    struct stat st;
    return stat(ResolveLoosePath(systemPath.c_str()).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DataFileExists(const std::string& path) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    return FindResource(path.c_str(), &data, &size) || LooseFileExists(path);
}

}  // namespace

bool ParseSimArgs(int argc, const char* const* argv, SimOptions* o, std::string* error) {
    *error = kUsage;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long v = 0;
        if (arg == "--trace") {
            o->trace = true;
        } else if (arg == "--frames" && hasValue) {
            if (!ParseDecimal(argv[++i], 0, 100000000, &v))
                return false;
            o->frames = int(v);
            o->framesGiven = true;
        } else if (arg == "--seed" && hasValue) {
            if (!ParseDecimal(argv[++i], 0, 4294967295LL, &v))
                return false;
            o->seed = unsigned(v);
            o->seedGiven = true;
        } else if (arg == "--every" && hasValue) {
            if (!ParseDecimal(argv[++i], 1, 100000000, &v))
                return false;
            o->every = int(v);
        } else if (arg == "--dt" && hasValue) {
            if (!ParseFloat(argv[++i], 0.0f, 1.0f, &o->dt))
                return false;
            o->dtGiven = true;
        } else if (arg == "--check") {
            o->check = true;
        } else if (arg == "--load-limit" && hasValue) {
            char* end = nullptr;
            const double limit = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(limit >= 0.0 && limit <= 1e6))
                return false;
            o->loadLimit = limit;
        } else if (arg == "--batch" && hasValue) {
            o->batchFile = argv[++i];
        } else if (arg == "--input" && hasValue) {
            o->inputFile = argv[++i];
        } else if (arg == "--shots" && hasValue) {
            o->shotsDir = argv[++i];
        } else if (arg == "--replay" && hasValue) {
            o->replayFile = argv[++i];
        } else if (arg == "--report") {
            o->report = true;
        } else if (arg == "--outline" && hasValue) {
            o->outlineFile = argv[++i];
        } else if (arg == "--random-shots" && hasValue) {
            if (!ParseDecimal(argv[++i], 1, 100000000, &v))
                return false;
            o->randomShots = int(v);
        } else if (arg == "--shot" && hasValue) {
            if (!ParseShot(argv[++i], &o->shot))
                return false;
            o->hasShot = true;
        } else if (!arg.empty() && arg[0] != '-' && o->table.empty()) {
            o->table = std::string(arg);
        } else {
            return false;
        }
    }
    if (o->table.empty() && o->replayFile.empty() && o->batchFile.empty())
        return false;
    if (!o->batchFile.empty() && (!o->table.empty() || !o->replayFile.empty()))
        return false;
    // A replay brings its own seed, frame times and controls.
    if (!o->replayFile.empty() &&
        (o->seedGiven || o->dtGiven || !o->inputFile.empty() || o->hasShot || o->randomShots))
        return false;
    if (o->randomShots > 0 && (!o->inputFile.empty() || o->hasShot || o->framesGiven))
        return false;
    if (!o->shotsDir.empty() && o->every == 0)
        o->every = 1;
    error->clear();
    return true;
}

SimRunner::SimRunner() = default;

SimRunner::~SimRunner() {
    table_.reset();
    if (archive_)
        SetResourceProvider(nullptr);
}

bool SimRunner::Start(const SimOptions& options, std::string* error) {
    options_ = options;
    archive_ = std::make_unique<ResourceArchive>();
    if (archive_->Open("data.pak")) {
        SetResourceProvider(archive_.get());
    } else {
        archive_.reset();
    }
    if (!options.replayFile.empty()) {
        if (!ReadReplayFile(options.replayFile.c_str(), &replay_, error))
            return false;
        if (options_.table.empty())
            options_.table = replay_.table.c_str();
        options_.seed = replay_.seed;
        feeder_ = ReplayFeeder(&replay_);
    }
    if (!options.inputFile.empty()) {
        std::vector<std::uint8_t> bytes;
        if (!ReadLooseFile(options.inputFile.c_str(), &bytes)) {
            *error = "can't read input file '" + options.inputFile + "'";
            return false;
        }
        std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (!ParseInputRecording(text, &events_, error))
            return false;
    }
    // A replay drives its controls on keys of their own, whatever the
    // bindings of the game that recorded it were.
    if (!Replaying() && DataFileExists(InputManager::kInputScript)) {
        input_.LoadBindings(InputManager::kInputScript);
    } else {
        BindReplayControls(&input_);
    }
    for (const InputEvent& e : events_) {
        bool known = false;
        for (const ControlBinding& b : input_.bindings) {
            known = known || (b.name.view().size() == e.control.size() &&
                              strcasecmp(b.name.c_str(), e.control.c_str()) == 0);
        }
        if (!known) {
            *error = "input names an unknown control '" + std::string(e.control.view()) + "'";
            return false;
        }
    }
    input_.FindGameControls();
    input_.SetKeyboard(&keyboard_);

    const std::string& tablePath = options_.table;
    const std::string bin = ReplaceExtension(tablePath.c_str(), ".bin");
    if (!DataFileExists(tablePath) && !DataFileExists(bin)) {
        *error = "can't load table '" + tablePath + "'";
        return false;
    }
    RegisterPhysicsElements();
    RegisterTableElements();
    // The back surface must exist before the table loads: elements build
    // their pictures against it. The game's screen is 800 x 600.
    display_ = std::make_unique<Display>();
    display_->bpp = 32;
    if (!display_->Initialise(nullptr))
        display_.reset();
    if (display_ && DataFileExists("data\\fonts.script"))
        LoadFontList();
    table_ = std::make_unique<Table>();
    table_->SetInput(&input_);
    // After the table, which seeds the generator with the clock.
    SeedGameRandom(options_.seed);
    if (Replaying())
        table_->welcomePending = replay_.welcome;
    const auto loadStart = std::chrono::steady_clock::now();
    table_->Load(tablePath.c_str(), "zarnik-sim");
    loadSeconds_ =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - loadStart).count();
    if (table_->ElementCount() == 0) {
        *error = "table '" + tablePath + "' has no elements";
        return false;
    }
    return true;
}

bool SimRunner::SetControl(std::string_view control, bool down) {
    for (const ControlBinding& b : input_.bindings) {
        if (b.name.view().size() == control.size() &&
            strncasecmp(b.name.c_str(), control.data(), control.size()) == 0) {
            if (b.device == DEVICE_KEYBOARD)
                keyboard_.Set(b.devicecode, down);
            return true;
        }
    }
    return false;
}

bool SimRunner::ControlHeld() const {
    return table_->LeftHandlePressed() || table_->RightHandlePressed() || table_->SpringPressed() ||
           table_->TiltPressed();
}

void SimRunner::StepFrame() {
    float dt = options_.dt;
    if (Replaying()) {
        // The game's frame time, as the game turned it into seconds.
        std::int32_t ms = 0;
        feeder_.Next(input_, &keyboard_, &ms);
        dt = float(ms) * 0.001f;
    }
    while (nextEvent_ < events_.size() && events_[nextEvent_].frame <= frame_) {
        const InputEvent& e = events_[nextEvent_++];
        SetControl(e.control.view(), e.down);
    }
    if (options_.hasShot && shotFrame_ < 0 && !table_->lightShow) {
        PlaceShot(*table_, options_.shot);
        shotFrame_ = frame_;
    }
    input_.Poll();
    lastDt_ = dt;
    table_->Update(nullptr, dt);
    if (display_) {
        // The table covers only its screen rectangle; the game's side panel
        // would cover the rest. Start each frame from black so moving texts
        // leave no trails there.
        if (platform::Surface* back = display_->BackPicture()->Surface())
            back->Fill(0);
        table_->Draw(display_->BackPicture());
    }
    ++frame_;
}

bool SimRunner::SaveShot(const std::string& path) {
    return display_ && display_->SaveBackSurface(path.c_str());
}

void SimRunner::WriteTrace(std::FILE* out) const {
    std::fprintf(out, "frame %d score %d ball %d in play %d\n", frame_ - 1, table_->score,
                 table_->currentBallNumber, table_->ballsInPlay);
    for (int i = 0; i < table_->BallCount(); ++i) {
        const MainBall& b = *static_cast<const MainBall*>(table_->Ball(i));
        std::fprintf(out, "frame %d ball %d state %d pos %.9g %.9g vel %.9g %.9g\n", frame_ - 1, i,
                     b.state, double(b.position.x), double(b.position.y), double(b.velocity.x),
                     double(b.velocity.y));
    }
}

void SimRunner::WriteSummary(std::FILE* out) const {
    const Table& t = *table_;
    std::fprintf(out, "frames %d\nscore %d\ncurrent ball %d of %d\nballs in play %d\n", frame_,
                 t.score, t.currentBallNumber, t.ball_count, t.ballsInPlay);
    for (int i = 0; i < t.BallCount(); ++i) {
        const MainBall& b = *static_cast<const MainBall*>(t.Ball(i));
        std::fprintf(out, "ball %d \"%s\" element %d state %d %s pos %.9g %.9g vel %.9g %.9g\n", i,
                     b.elementName.c_str(), t.IndexOf(&b), b.state,
                     b.Enabled() ? "enabled" : "disabled", double(b.position.x),
                     double(b.position.y), double(b.velocity.x), double(b.velocity.y));
    }
}

namespace {

constexpr int kCheckFailed = 3;

const char* OutcomeName(ShotOutcome o) {
    switch (o) {
        case SHOT_ESCAPED:
            return "escape";
        case SHOT_STUCK:
            return "at rest";
        case SHOT_DRAINED:
            return "drained";
        case SHOT_HELD:
            return "held";
        default:
            return "running";
    }
}

// Plays a found case again on a fresh table: the command printed for it
// repeats it only when this does.
bool RepeatsOnFreshTable(const SimOptions& options, const ShotSearchOptions& search,
                         const ShotCase& c, int* frames) {
    SimOptions fresh = options;
    fresh.randomShots = 0;
    fresh.hasShot = true;
    fresh.shot = c.launch;
    SimRunner sim;
    std::string error;
    if (!sim.Start(fresh, &error))
        return false;
    RestTracker rest(search.restRadius, search.restSeconds);
    const int limit = 100000;
    for (int f = 0; f < limit; ++f) {
        sim.StepFrame();
        if (sim.ShotFrame() < 0)
            continue;
        const int into = sim.FrameNumber() - 1 - sim.ShotFrame();
        const ShotOutcome o = JudgeShot(sim.table(), search.outline, &rest, fresh.dt);
        if (o == SHOT_RUNNING && into <= c.frame)
            continue;
        *frames = sim.FrameNumber();
        return o == c.outcome;
    }
    return false;
}

int RunRandomShots(const SimOptions& options, const TableOutline& outline, std::FILE* out) {
    SimRunner sim;
    std::string error;
    if (!sim.Start(options, &error)) {
        std::fprintf(stderr, "zarnik-sim: %s\n", error.c_str());
        return 1;
    }
    // Shots start once the light show is over, as a player's ball does.
    while (sim.table().lightShow)
        sim.StepFrame();
    ShotSearchOptions search;
    search.shots = options.randomShots;
    search.seed = options.seed;
    search.dt = options.dt;
    search.outline = outline;
    const ShotSearchResult r = RandomShotSearch(sim.table(), sim.input(), nullptr, search);
    std::fprintf(out, "random shots on %s, seed %u, dt %g\n", options.table.c_str(), options.seed,
                 double(options.dt));
    std::fprintf(out, "shots %d, drained %d, held %d, escapes %d, at rest %d\n", r.shots, r.drained,
                 r.held, r.escapes, r.stuck);
    if (r.noRoom)
        std::fprintf(out, "no free place to start a shot from was found\n");
    for (const ShotCase& c : r.cases) {
        std::fprintf(out, "%s: shot %d from %.9g %.9g at %.9g %.9g, %s %.4f %.4f after %d frames\n",
                     OutcomeName(c.outcome), c.shot, double(c.launch.from.x),
                     double(c.launch.from.y), double(c.launch.speed.x), double(c.launch.speed.y),
                     c.outcome == SHOT_ESCAPED ? "left at" : "rests at", double(c.at.x),
                     double(c.at.y), c.frame + 1);
        int frames = 0;
        const bool repeats = RepeatsOnFreshTable(options, search, c, &frames);
        std::string outlineArg;
        if (!options.outlineFile.empty())
            outlineArg = " --outline " + options.outlineFile;
        std::fprintf(
            out, "  zarnik-sim %s --dt %.9g --shot %.9g,%.9g,%.9g,%.9g --frames %d --report%s\n",
            options.table.c_str(), double(options.dt), double(c.launch.from.x),
            double(c.launch.from.y), double(c.launch.speed.x), double(c.launch.speed.y),
            repeats ? frames + 1 : c.frame + 1000, outlineArg.c_str());
        if (!repeats)
            std::fprintf(out, "  (the earlier shots' table: a fresh table does not repeat it)\n");
    }
    return 0;
}

}  // namespace

int RunSim(const SimOptions& options, std::FILE* out) {
    TableOutline outline = TableOutline::Default();
    std::string error;
    if (!options.outlineFile.empty() && !ReadOutlineFile(options.outlineFile, &outline, &error)) {
        std::fprintf(stderr, "zarnik-sim: %s\n", error.c_str());
        return 1;
    }
    if (options.randomShots > 0)
        return RunRandomShots(options, outline, out);
    SimRunner sim;
    {
        std::optional<LoadWatchdog> watchdog;
        if (options.check)
            watchdog.emplace(options.loadLimit);
        if (!sim.Start(options, &error)) {
            std::fprintf(stderr, "zarnik-sim: %s\n", error.c_str());
            return 1;
        }
    }
    if (options.check && !CheckLoadTime(sim.LoadSeconds(), options.loadLimit, &error)) {
        std::fprintf(stderr, "zarnik-sim: %s\n", error.c_str());
        return kCheckFailed;
    }
    if (!options.shotsDir.empty())
        mkdir(options.shotsDir.c_str(), 0777);
    int frames = options.frames;
    if (sim.Replaying())
        frames = options.framesGiven ? std::min(frames, sim.replay().frames) : sim.replay().frames;
    SimReport report;
    if (options.report)
        report.Begin(&sim.table(), outline);
    for (int f = 0; f < frames; ++f) {
        report.BeforeFrame(f);
        sim.StepFrame();
        if (options.report)
            report.AfterFrame(sim.LastDt(), sim.ControlHeld());
        if (options.trace)
            sim.WriteTrace(out);
        if (options.check && !CheckBallsFinite(sim.table(), sim.FrameNumber() - 1, &error)) {
            std::fprintf(stderr, "zarnik-sim: %s\n", error.c_str());
            return kCheckFailed;
        }
        if (!options.shotsDir.empty() && options.every > 0 &&
            sim.FrameNumber() % options.every == 0) {
            char name[64];
            std::snprintf(name, sizeof(name), "/frame%06d.png", sim.FrameNumber());
            if (!sim.SaveShot(options.shotsDir + name)) {
                std::fprintf(stderr, "zarnik-sim: can't save '%s%s'\n", options.shotsDir.c_str(),
                             name);
                return 1;
            }
        }
    }
    sim.WriteSummary(out);
    if (options.report) {
        report.Write(out);
        report.End();
    }
    return 0;
}

int RunSimBatch(const SimOptions& options, std::FILE* out) {
    std::vector<std::uint8_t> bytes;
    if (!ReadLooseFile(options.batchFile.c_str(), &bytes)) {
        std::fprintf(stderr, "zarnik-sim: can't read batch list '%s'\n", options.batchFile.c_str());
        return 1;
    }
    std::string_view rest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    int worst = 0;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = Trim(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.empty())
            continue;
        SimOptions one = options;
        one.batchFile.clear();
        one.table = std::string(line);
        // Flushed before the run, so a caller sees which table a crash or
        // hang belongs to.
        std::fprintf(out, "table %s\n", one.table.c_str());
        std::fflush(out);
        const int code = RunSim(one, out);
        std::fprintf(out, "exit %d\n", code);
        std::fflush(out);
        worst = std::max(worst, code);
    }
    return worst;
}
