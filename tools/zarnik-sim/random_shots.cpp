#include "tools/zarnik-sim/random_shots.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "input/control_binding.h"
#include "physics/collision_form.h"
#include "physics/main_ball.h"
#include "table/table.h"

namespace {

constexpr int kPlacementTries = 100000;
// Shots start below the top edge and above the drain.
constexpr float kHighestStart = 0.0f;
constexpr float kLowestStart = 0.97f;

float SegmentDistance(Vec2 p, Vec2 a, Vec2 b) {
    const Vec2 e = b - a;
    const float ll = LengthSq(e);
    float t = ll > 0.0f ? Dot(p - a, e) / ll : 0.0f;
    t = std::fmax(0.0f, std::fmin(1.0f, t));
    return Length(p - a - t * e);
}

// The forms a ball collides with, as polygons.
struct Solid {
    std::vector<Vec2> points;
    bool closed = false;
};

std::vector<Solid> SolidsOf(const Table& table) {
    std::vector<Solid> solids;
    for (int i = 0; i < table.ElementCount(); ++i) {
        const TableObject* e = table.Element(i);
        if (e->type != ELEMENT_FORM || !e->Enabled())
            continue;
        const CollisionForm* f = static_cast<const CollisionForm*>(e);
        if (f->c_type == COLLISION_NONE || f->VertexCount() < 1)
            continue;
        Solid s;
        for (int k = 0; k < f->VertexCount(); ++k)
            s.points.push_back(f->Vertex(k));
        s.closed = f->f_type == FORM_CLOSED;
        solids.push_back(std::move(s));
    }
    return solids;
}

// Whether the ray from p along d meets a segment of a solid.
bool RayMeetsSolid(Vec2 p, Vec2 d, const std::vector<Solid>& solids) {
    for (const Solid& s : solids) {
        const std::size_t n = s.points.size();
        const std::size_t segments = s.closed ? n : n - 1;
        for (std::size_t i = 0; i < segments; ++i) {
            const Vec2 a = s.points[i], b = s.points[(i + 1) % n];
            const Vec2 e = b - a;
            const float den = d.x * e.y - d.y * e.x;
            if (den == 0.0f)
                continue;
            const Vec2 w = a - p;
            const float t = (w.x * e.y - w.y * e.x) / den;  // along the ray
            const float u = (w.x * d.y - w.y * d.x) / den;  // along the segment
            if (t > 0.0f && u >= 0.0f && u <= 1.0f)
                return true;
        }
    }
    return false;
}

// Free room for a ball of radius r: inside the outline, clear of every
// solid, and walled in to the left, the right and above, so no shot starts
// outside the cabinet (below, the drain is open).
bool Clear(Vec2 p, float r, const TableOutline& outline, const std::vector<Solid>& solids) {
    if (!outline.Inside(p))
        return false;
    const std::size_t m = outline.points.size();
    for (std::size_t i = 0; i < m; ++i) {
        if (SegmentDistance(p, outline.points[i], outline.points[(i + 1) % m]) < r * 1.2f)
            return false;
    }
    for (const Solid& s : solids) {
        const std::size_t n = s.points.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (SegmentDistance(p, s.points[i], s.points[(i + 1) % n]) < r * 1.2f)
                return false;
        }
        if (s.closed && n >= 3) {
            TableOutline poly;
            poly.points = s.points;
            if (poly.Inside(p))
                return false;
        }
    }
    return RayMeetsSolid(p, {-1.0f, 0.0f}, solids) && RayMeetsSolid(p, {1.0f, 0.0f}, solids) &&
           RayMeetsSolid(p, {0.0f, -1.0f}, solids);
}

MainBall* FirstBall(const Table& table) {
    return table.BallCount() > 0 ? dynamic_cast<MainBall*>(table.Ball(0)->Object()) : nullptr;
}

}  // namespace

void PlaceShot(Table& table, const Shot& shot) {
    MainBall* b = FirstBall(table);
    if (b == nullptr)
        return;
    b->position = shot.from;
    b->velocity = shot.speed;
    b->state = BALL_IN_PLAY;
    b->SetEnabled(true);
    table.ballsInPlay = 1;
}

ShotOutcome JudgeShot(const Table& table, const TableOutline& outline, RestTracker* rest,
                      float dt) {
    const MainBall* b = FirstBall(table);
    if (b == nullptr || !b->Enabled())
        return SHOT_HELD;  // by a hole or a tube
    if (b->Parked())
        return SHOT_DRAINED;
    if (!outline.Inside(b->position))
        return SHOT_ESCAPED;
    if (b->position.y > 1.0f)
        return SHOT_DRAINED;
    if (rest->Update(*b, BallIsFree(*b), dt))
        return SHOT_STUCK;
    return SHOT_RUNNING;
}

ShotSearchResult RandomShotSearch(Table& table, InputManager& input, GameScreenLink* screen,
                                  const ShotSearchOptions& options) {
    ShotSearchResult result;
    const MainBall* ball = FirstBall(table);
    if (ball == nullptr)
        return result;
    table.ball_count = 1000000;
    std::mt19937 rng(options.seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float r = ball->radius;
    const std::vector<Solid> solids = SolidsOf(table);
    const Vec2 lo = options.outline.Min(), hi = options.outline.Max();
    const float x0 = std::max(lo.x, 0.0f), x1 = std::min(hi.x, 1.0f);
    const float y0 = std::max(lo.y, kHighestStart), y1 = std::min(hi.y, kLowestStart);
    std::vector<ShotCase> stuckCases;
    for (int shot = 0; shot < options.shots; ++shot) {
        Shot s;
        int tries = 0;
        do {
            s.from = {x0 + (x1 - x0) * unit(rng), y0 + (y1 - y0) * unit(rng)};
        } while (!Clear(s.from, r, options.outline, solids) && ++tries < kPlacementTries);
        if (tries >= kPlacementTries) {
            result.noRoom = true;
            break;
        }
        const float angle = 6.2831853f * unit(rng), speed = MainBall::kMaxSpeed * unit(rng);
        s.speed = {speed * std::cos(angle), speed * std::sin(angle)};
        PlaceShot(table, s);
        ++result.shots;
        const bool longShot = options.longEvery > 0 && shot % options.longEvery == 0;
        const int frames = longShot ? options.longFrames : options.shortFrames;
        RestTracker rest(options.restRadius, options.restSeconds);
        for (int f = 0; f < frames; ++f) {
            input.Poll();
            table.Update(screen, options.dt);
            const ShotOutcome outcome = JudgeShot(table, options.outline, &rest, options.dt);
            if (outcome == SHOT_RUNNING)
                continue;
            ShotCase c;
            c.outcome = outcome;
            c.shot = shot;
            c.launch = s;
            c.frame = f;
            if (const MainBall* b = FirstBall(table))
                c.at = outcome == SHOT_STUCK ? rest.Mark() : b->position;
            if (outcome == SHOT_DRAINED)
                ++result.drained;
            else if (outcome == SHOT_HELD)
                ++result.held;
            else if (outcome == SHOT_ESCAPED)
                ++result.escapes;
            else
                ++result.stuck;
            if (outcome == SHOT_ESCAPED && result.cases.size() < options.maxCases)
                result.cases.push_back(c);
            if (outcome == SHOT_STUCK && stuckCases.size() < options.maxCases)
                stuckCases.push_back(c);
            break;
        }
    }
    for (const ShotCase& c : stuckCases) {
        if (result.cases.size() < options.maxCases)
            result.cases.push_back(c);
    }
    return result;
}
