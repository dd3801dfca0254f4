#include "tools/zarnik-sim/sim_report.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "physics/main_ball.h"
#include "script/file_access.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// A decimal number of an outline, within -1000..1000.
bool ParseCoordinate(std::string_view* s, float* value) {
    while (!s->empty() && IsBlank(s->front()))
        s->remove_prefix(1);
    std::size_t n = 0;
    while (n < s->size() && n < 40 && !IsBlank((*s)[n]))
        ++n;
    if (n == 0 || n >= 40)
        return false;
    char text[40];
    s->copy(text, n);
    text[n] = '\0';
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    s->remove_prefix(n);
    if (end != text + n || !(v >= -1000.0 && v <= 1000.0))
        return false;
    *value = float(v);
    return true;
}

const MainBall* BallOf(const Table& table, int i) {
    return dynamic_cast<const MainBall*>(table.Ball(i)->Object());
}

}  // namespace

TableOutline TableOutline::Default() {
    TableOutline o;
    o.points = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 2.0f}, {0.0f, 2.0f}};
    return o;
}

bool TableOutline::Inside(Vec2 p) const {
    bool in = false;
    const std::size_t n = points.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Vec2 a = points[i], b = points[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
            in = !in;
    }
    return in;
}

Vec2 TableOutline::Min() const {
    Vec2 m = points.empty() ? Vec2{} : points[0];
    for (Vec2 p : points)
        m = {std::min(m.x, p.x), std::min(m.y, p.y)};
    return m;
}

Vec2 TableOutline::Max() const {
    Vec2 m = points.empty() ? Vec2{} : points[0];
    for (Vec2 p : points)
        m = {std::max(m.x, p.x), std::max(m.y, p.y)};
    return m;
}

bool ParseOutline(std::string_view text, TableOutline* outline, std::string* error) {
    outline->points.clear();
    if (text.size() > TableOutline::kMaxBytes) {
        *error = "the outline file is too large";
        return false;
    }
    int number = 0;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++number;
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        while (!line.empty() && IsBlank(line.back()))
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        Vec2 p;
        if (!ParseCoordinate(&line, &p.x) || !ParseCoordinate(&line, &p.y) || !line.empty()) {
            *error = "outline line " + std::to_string(number) + ": expected 'x y'";
            outline->points.clear();
            return false;
        }
        if (outline->points.size() >= TableOutline::kMaxPoints) {
            *error = "the outline has more than 100000 points";
            outline->points.clear();
            return false;
        }
        outline->points.push_back(p);
    }
    if (outline->points.size() < 3) {
        *error = "an outline needs 3 points at least";
        outline->points.clear();
        return false;
    }
    return true;
}

bool ReadOutlineFile(const std::string& path, TableOutline* outline, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadLooseFile(path.c_str(), &bytes)) {
        *error = "can't read outline file '" + path + "'";
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return ParseOutline(text, outline, error);
}

bool BallIsFree(const MainBall& ball) {
    return ball.Enabled() && ball.state == BALL_IN_PLAY && !ball.Parked();
}

bool RestTracker::Update(const MainBall& ball, bool free, float dt) {
    if (!free) {
        resting_ = false;
        return false;
    }
    const Vec2 d = ball.position - mark_;
    if (!resting_ || !(LengthSq(d) < radius_ * radius_)) {
        resting_ = true;
        reported_ = false;
        mark_ = ball.position;
        elapsed_ = 0.0f;
        frames_ = 0;
        return false;
    }
    elapsed_ += dt;
    ++frames_;
    if (reported_ || !(elapsed_ > seconds_))
        return false;
    reported_ = true;
    return true;
}

void SimReport::Begin(Table* table, const TableOutline& outline) {
    table_ = table;
    outline_ = outline;
    elementCount_ = table->ElementCount();
    hits_.assign(std::size_t(elementCount_), 0);
    fired_.assign(std::size_t(elementCount_), 0);
    enabledOnce_.assign(std::size_t(elementCount_), false);
    for (int i = 0; i < elementCount_; ++i) {
        indexOf_[table->Element(i)] = i;
        enabledOnce_[std::size_t(i)] = table->Element(i)->Enabled();
    }
    table->SetProbe(this);
}

void SimReport::End() {
    if (table_ && table_->Probe() == this)
        table_->SetProbe(nullptr);
}

void SimReport::FormHit(const TableObject& form) {
    auto it = indexOf_.find(&form);
    if (it != indexOf_.end())
        ++hits_[std::size_t(it->second)];
}

void SimReport::LinkFired(const TableObject& link) {
    auto it = indexOf_.find(&link);
    if (it != indexOf_.end())
        ++fired_[std::size_t(it->second)];
}

void SimReport::NoteLimit(std::map<int, Limit>* limits, const TableObject& ball) {
    Limit& l = (*limits)[table_->IndexOf(&ball)];
    // One entry per frame: a ball may hit the limit in several sub-steps.
    if (!l.frames.empty() && l.frames.back() == frame_)
        return;
    ++l.count;
    if (l.frames.size() < 20)
        l.frames.push_back(frame_);
}

void SimReport::HitLimit(const TableObject& ball) {
    NoteLimit(&hitLimits_, ball);
}

void SimReport::SubStepCap(const TableObject& ball) {
    NoteLimit(&subStepCaps_, ball);
}

void SimReport::AfterFrame(float dt, bool controlHeld) {
    frames_ = frame_ + 1;
    for (int i = 0; i < elementCount_ && i < table_->ElementCount(); ++i) {
        if (table_->Element(i)->Enabled())
            enabledOnce_[std::size_t(i)] = true;
    }
    std::set<const TableObject*> live;
    for (int i = 0; i < table_->BallCount(); ++i) {
        const MainBall* ball = BallOf(*table_, i);
        if (ball == nullptr)
            continue;
        live.insert(ball);
        const int element = table_->IndexOf(ball);
        const TableObject* touching = ball->contact ? ball->contact : ball->previousContact;
        // The light show after a load holds the ball where it was served.
        const bool free = BallIsFree(*ball) && !table_->lightShow;
        if (rest_.find(ball) == rest_.end())
            rest_.emplace(ball, RestTracker());
        RestTracker& rest = rest_.find(ball)->second;
        if (rest.Update(*ball, free && !controlHeld, dt)) {
            Rest r;
            r.ball = i;
            r.element = element;
            r.from = frame_ - rest.Frames();
            r.frame = frame_;
            r.at = ball->position;
            r.touching = table_->IndexOf(touching);
            rests_.push_back(r);
        }
        const bool outside = ball->Enabled() && !ball->Parked() && !outline_.Inside(ball->position);
        bool& was = wasOutside_[ball];
        if (outside && !was) {
            Outside o;
            o.ball = i;
            o.element = element;
            o.frame = frame_;
            o.at = ball->position;
            o.touching = table_->IndexOf(touching);
            outsides_.push_back(o);
        }
        was = outside;
    }
    // Extra balls that went.
    for (auto it = rest_.begin(); it != rest_.end();)
        it = live.count(it->first) ? std::next(it) : rest_.erase(it);
    for (auto it = wasOutside_.begin(); it != wasOutside_.end();)
        it = live.count(it->first) ? std::next(it) : wasOutside_.erase(it);
}

std::vector<int> SimReport::LinksNeverFired() const {
    std::vector<int> out;
    for (int i = 0; i < elementCount_ && i < table_->ElementCount(); ++i) {
        if (table_->Element(i)->type == ELEMENT_LINK && fired_[std::size_t(i)] == 0)
            out.push_back(i);
    }
    return out;
}

std::vector<int> SimReport::FormsNeverHit() const {
    std::vector<int> out;
    for (int i = 0; i < elementCount_ && i < table_->ElementCount(); ++i) {
        if (table_->Element(i)->type == ELEMENT_FORM && hits_[std::size_t(i)] == 0)
            out.push_back(i);
    }
    return out;
}

std::string SimReport::Describe(int element) const {
    const TableObject* e = table_->Element(element);
    if (e == nullptr)
        return "none";
    std::string text = std::to_string(element) + " " + ElementFourCC(e->type);
    const std::string_view name = !e->elementName.empty() ? e->elementName.view() : e->name.view();
    if (!name.empty())
        text += " \"" + std::string(name) + "\"";
    return text;
}

void SimReport::Write(std::FILE* out) const {
    std::fprintf(out, "report of %d frames\n", frames_);
    std::fprintf(out, "balls at rest outside a rest place: %zu\n", rests_.size());
    for (std::size_t i = 0; i < rests_.size() && i < kMaxListed; ++i) {
        const Rest& r = rests_[i];
        std::fprintf(out,
                     "  ball %d (element %d) at rest at %.4f %.4f from frame %d (over 2 s at "
                     "frame %d), touching element %s\n",
                     r.ball, r.element, double(r.at.x), double(r.at.y), r.from, r.frame,
                     Describe(r.touching).c_str());
    }
    std::fprintf(out, "balls outside the outline: %zu\n", outsides_.size());
    for (std::size_t i = 0; i < outsides_.size() && i < kMaxListed; ++i) {
        const Outside& o = outsides_[i];
        std::fprintf(out, "  ball %d (element %d) at %.4f %.4f at frame %d, last touching %s\n",
                     o.ball, o.element, double(o.at.x), double(o.at.y), o.frame,
                     Describe(o.touching).c_str());
    }
    auto writeLimits = [&](const char* what, const std::map<int, Limit>& limits) {
        int total = 0;
        for (const auto& l : limits)
            total += l.second.count;
        std::fprintf(out, "%s: %d\n", what, total);
        for (const auto& [element, l] : limits) {
            std::fprintf(out, "  element %d in %d frames:", element, l.count);
            for (int f : l.frames)
                std::fprintf(out, " %d", f);
            std::fprintf(out, "%s\n", l.count > int(l.frames.size()) ? " ..." : "");
        }
    };
    writeLimits("steps stopped at the seventh hit", hitLimits_);
    writeLimits("steps cut to the sub-step cap", subStepCaps_);
    auto writeList = [&](const char* what, const std::vector<int>& elements,
                         const std::vector<bool>* never) {
        std::fprintf(out, "%s: %zu\n", what, elements.size());
        for (std::size_t i = 0; i < elements.size() && i < kMaxListed * 4; ++i) {
            const int e = elements[i];
            const bool off = never && !(*never)[std::size_t(e)];
            std::fprintf(out, "  %s%s\n", Describe(e).c_str(), off ? " (never enabled)" : "");
        }
    };
    writeList("links that never fired", LinksNeverFired(), &enabledOnce_);
    writeList("forms never hit", FormsNeverHit(), &enabledOnce_);
}
