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
#include "tools/zarnik-sim/sim_check.h"

namespace {

constexpr const char* kUsage =
    "usage: zarnik-sim TABLE [--frames N] [--dt SECONDS] [--seed S] [--input FILE] "
    "[--shots DIR --every K] [--trace] [--check] [--load-limit SECONDS]";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// The next blank-separated word of s, removed from it.
std::string_view NextWord(std::string_view* s) {
    *s = Trim(*s);
    std::size_t end = 0;
    while (end < s->size() && (*s)[end] != ' ' && (*s)[end] != '\t')
        ++end;
    std::string_view word = s->substr(0, end);
    s->remove_prefix(end);
    return word;
}

bool ParseInt(std::string_view text, long long lo, long long hi, long long* value) {
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

bool ParseInputRecording(std::string_view text, std::vector<InputEvent>* events,
                         std::string* error) {
    int lineNumber = 0;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNumber;
        line = Trim(line);
        if (line.empty() || line.front() == '#')
            continue;
        std::string_view frameText = NextWord(&line);
        std::string_view control = NextWord(&line);
        std::string_view action = NextWord(&line);
        long long frame = 0;
        const bool ok = ParseInt(frameText, 0, 1000000000, &frame) && !control.empty() &&
                        control.size() < 32 && (action == "down" || action == "up") &&
                        Trim(line).empty();
        if (!ok) {
            *error =
                "input line " + std::to_string(lineNumber) + ": expected 'frame control down|up'";
            return false;
        }
        InputEvent e;
        e.frame = int(frame);
        e.control = control;
        e.down = action == "down";
        events->push_back(e);
    }
    // Events of one frame keep their file order.
    std::stable_sort(events->begin(), events->end(),
                     [](const InputEvent& a, const InputEvent& b) { return a.frame < b.frame; });
    return true;
}

bool ParseSimArgs(int argc, const char* const* argv, SimOptions* o, std::string* error) {
    *error = kUsage;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long v = 0;
        if (arg == "--trace") {
            o->trace = true;
        } else if (arg == "--frames" && hasValue) {
            if (!ParseInt(argv[++i], 0, 100000000, &v))
                return false;
            o->frames = int(v);
        } else if (arg == "--seed" && hasValue) {
            if (!ParseInt(argv[++i], 0, 4294967295LL, &v))
                return false;
            o->seed = unsigned(v);
        } else if (arg == "--every" && hasValue) {
            if (!ParseInt(argv[++i], 1, 100000000, &v))
                return false;
            o->every = int(v);
        } else if (arg == "--dt" && hasValue) {
            char* end = nullptr;
            const float dt = std::strtof(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(dt >= 0.0f && dt <= 1.0f))
                return false;
            o->dt = dt;
        } else if (arg == "--check") {
            o->check = true;
        } else if (arg == "--load-limit" && hasValue) {
            char* end = nullptr;
            const double limit = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(limit >= 0.0 && limit <= 1e6))
                return false;
            o->loadLimit = limit;
        } else if (arg == "--input" && hasValue) {
            o->inputFile = argv[++i];
        } else if (arg == "--shots" && hasValue) {
            o->shotsDir = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && o->table.empty()) {
            o->table = std::string(arg);
        } else {
            return false;
        }
    }
    if (o->table.empty())
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

void SimRunner::DefaultBindings() {
    struct Default {
        const char* name;
        const char* key;
    };
    static const Default kDefaults[] = {{"LEFTHANDLE", "LSHIFT"},
                                        {"RIGHTHANDLE", "RSHIFT"},
                                        {"SPRING", "SPACE"},
                                        {"EXIT", "ESCAPE"},
                                        {"TILT", "T"}};
    for (const Default& d : kDefaults) {
        ControlBinding b;
        b.name = d.name;
        b.device = DEVICE_KEYBOARD;
        b.devicecode = KeyNameToCode(d.key);
        input_.bindings.Append(b);
    }
}

bool SimRunner::Start(const SimOptions& options, std::string* error) {
    options_ = options;
    archive_ = std::make_unique<ResourceArchive>();
    if (archive_->Open("data.pak")) {
        SetResourceProvider(archive_.get());
    } else {
        archive_.reset();
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
    if (DataFileExists(InputManager::kInputScript)) {
        input_.LoadBindings(InputManager::kInputScript);
    } else {
        DefaultBindings();
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

    const std::string bin = ReplaceExtension(options.table.c_str(), ".bin");
    if (!DataFileExists(options.table) && !DataFileExists(bin)) {
        *error = "can't load table '" + options.table + "'";
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
    std::srand(options.seed);
    const auto loadStart = std::chrono::steady_clock::now();
    table_->Load(options.table.c_str(), "zarnik-sim");
    loadSeconds_ =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - loadStart).count();
    if (table_->ElementCount() == 0) {
        *error = "table '" + options.table + "' has no elements";
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

void SimRunner::StepFrame() {
    while (nextEvent_ < events_.size() && events_[nextEvent_].frame <= frame_) {
        const InputEvent& e = events_[nextEvent_++];
        SetControl(e.control.view(), e.down);
    }
    input_.Poll();
    table_->Update(nullptr, options_.dt);
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

int RunSim(const SimOptions& options, std::FILE* out) {
    constexpr int kCheckFailed = 3;
    SimRunner sim;
    std::string error;
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
    for (int f = 0; f < options.frames; ++f) {
        sim.StepFrame();
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
    return 0;
}
