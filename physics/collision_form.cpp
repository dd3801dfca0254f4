#include "physics/collision_form.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "physics/editor_lines.h"
#include "script/script_block.h"
#include "script/script_writer.h"
#include "table/table.h"

const char* const kCollisionTypeNames[7] = {
    "COLLISION_COMBINE",  "COLLISION_BOUNCE", "COLLISION_SLIDE", "COLLISION_DESTROY",
    "COLLISION_TELEPORT", "COLLISION_NONE",   "COLLISION_STOP",
};
const char* const kFormTypeNames[2] = {"OPENED", "CLOSED"};

CollisionForm::CollisionForm(Table& table) : table_(table) {
    type = ELEMENT_FORM;
    vertices.Append({0.45f, 0.45f});
    vertices.Append({0.55f, 0.55f});
}

CollisionForm::~CollisionForm() {
    CollisionForm::Clear();
}

void CollisionForm::Clear() {
    selectedVertex = -1;
    vertices.Clear();
    SetEnabled(false);
}

void CollisionForm::UpdateSegmentCount() {
    segmentCount = vertices.Count - (f_type == FORM_OPENED ? 1 : 0);
    if (segmentCount < 0)
        segmentCount = 0;
}

bool CollisionForm::Load(const ScriptBlock& block) {
    Clear();
    FixedString<32> fType, cType;
    static const SubBlockDef kLine[] = {{"Line", 0}, {nullptr, 0}};
    ForEachStatement(block, [&](int i) {
        if (MatchSubBlock(block, kLine, i) >= 0) {
            // A coordinate the block leaves out reads as 0.
            Vec2 v;
            ReadKeys(SubBlock(block, i + 1),
                     {KeyDef::Real("toX", &v.x), KeyDef::Real("toY", &v.y)});
            vertices.Append(v);
        }
    });
    ReadKeys(block, {KeyDef::Real("atX", &pivot.x), KeyDef::Real("atY", &pivot.y),
                     KeyDef::Real("k_slide", &k_slide), KeyDef::Real("k_bounce", &k_bounce),
                     KeyDef::Word("f_type", &fType), KeyDef::Word("c_type", &cType)});
    for (int k = 0; k < 2; ++k) {
        if (fType == kFormTypeNames[k]) {
            f_type = k;
            break;
        }
    }
    for (int k = 0; k < 7; ++k) {
        if (cType == kCollisionTypeNames[k]) {
            c_type = k;
            break;
        }
    }
    SetEnabled(true);
    if (vertices.Count >= 2) {
        Vec2 lo = vertices[0], hi = vertices[0];
        for (const Vec2& v : vertices) {
            lo.x = std::fmin(lo.x, v.x);
            lo.y = std::fmin(lo.y, v.y);
            hi.x = std::fmax(hi.x, v.x);
            hi.y = std::fmax(hi.y, v.y);
        }
        centre = {(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f};
        boundRadius = Length(lo - centre);
        hasBounds = true;
    }
    UpdateSegmentCount();
    table_.FormsChanged();
    return true;
}

void CollisionForm::Save(std::string* out) {
    const int f = (f_type >= 0 && f_type < 2) ? f_type : 0;
    const int c = (c_type >= 0 && c_type < 7) ? c_type : 0;
    AppendFormat(out,
                 "CollisionForm {\r\n atX = %.4f;\r\n atY = %.4f;\r\n k_bounce = %.4f;\r\n"
                 " k_slide = %.4f;\r\n f_type = \"%s\";\r\n c_type = \"%s\";\r\n",
                 double(pivot.x), double(pivot.y), double(k_bounce), double(k_slide),
                 kFormTypeNames[f], kCollisionTypeNames[c]);
    for (const Vec2& v : vertices) {
        AppendFormat(out, " Line {\r\n  toX = %.4f;\r\n  toY = %.4f;\r\n };;\r\n", double(v.x),
                     double(v.y));
    }
    out->append("};;\r\n");
}

void CollisionForm::Step(float dt) {
    if (!rotating)
        return;
    const float a = dt * angularSpeed;
    const float c = std::cos(a);
    const float s = std::sin(a);
    auto turn = [&](Vec2 p) {
        const float dx = p.x - pivot.x;
        const float dy = p.y - pivot.y;
        return Vec2{pivot.x + dx * c - dy * s, pivot.y + dx * s + dy * c};
    };
    for (Vec2& v : vertices)
        v = turn(v);
    centre = turn(centre);
    table_.FormsChanged();
}

void CollisionForm::ShiftY(float dy) {
    for (Vec2& v : vertices)
        v.y += dy;
    centre.y += dy;
    pivot.y += dy;
    table_.FormsChanged();
}

void CollisionForm::DrawEditor(Picture* surface) {
    for (int i = 0; i + 1 < vertices.Count; ++i) {
        DrawSolidLine(surface, table_.ScreenX(vertices[i].x), table_.ScreenY(vertices[i].y),
                      table_.ScreenX(vertices[i + 1].x), table_.ScreenY(vertices[i + 1].y),
                      0xFFFFFF);
    }
    const Vec2 mark =
        (selectedVertex >= 0 && selectedVertex < vertices.Count) ? vertices[selectedVertex] : pivot;
    const int x = table_.ScreenX(mark.x), y = table_.ScreenY(mark.y);
    const std::uint32_t grey = 0xBEBEBE;
    DrawSolidLine(surface, x - 1, y - 1, x + 2, y - 1, grey);
    DrawSolidLine(surface, x + 2, y - 1, x + 2, y + 2, grey);
    DrawSolidLine(surface, x + 2, y + 2, x - 1, y + 2, grey);
    DrawSolidLine(surface, x - 1, y + 2, x - 1, y - 1, grey);
}

void CollisionForm::MoveBy(float dx, float dy) {
    if (selectedVertex >= 0 && selectedVertex < vertices.Count) {
        vertices[selectedVertex].x += dx;
        vertices[selectedVertex].y += dy;
    } else {
        pivot.x += dx;
        pivot.y += dy;
    }
}

bool CollisionForm::GetAnchor(int* x, int* y) {
    *x = table_.ScreenX(pivot.x);
    *y = table_.ScreenY(pivot.y);
    return true;
}

void CollisionForm::AddVertex() {
    if (selectedVertex > vertices.Count / 2) {
        vertices.Append({0.5f, 0.5f});
        selectedVertex = vertices.Count - 1;
    } else {
        vertices.InsertAt(0, {0.5f, 0.5f});
        selectedVertex = 0;
    }
    UpdateSegmentCount();
}

void CollisionForm::RemoveVertex() {
    if (selectedVertex >= 0 && selectedVertex < vertices.Count) {
        vertices.RemoveAt(selectedVertex);
        UpdateSegmentCount();
    }
}

void CollisionForm::ToggleHandle(int step) {
    selectedVertex += step;
    if (selectedVertex >= vertices.Count || selectedVertex < 0)
        selectedVertex = -1;
}

namespace {

bool OnExtendedSegment(Vec2 p, Vec2 a, Vec2 b) {
    return Dot(p - a, p - b) <=
           (Length(a - b) + CollisionForm::kEndTolerance) * CollisionForm::kEndTolerance;
}

// The first segment of the form the ball hits while travelling d (of length
// `travel`), with the displacement to the contact (or the push-out) and the
// hit normal.
bool FindHit(const CollisionForm& form, Vec2 p, float r, Vec2 d, float travel, Vec2* move,
             Vec2* normal) {
    const int count = form.vertices.Count;
    // A hit's contact point lies on the segment stretched by the end
    // tolerance, or (centre within 0.001 of the line) within that of its
    // middle by half its length, and at most r + travel from the centre.
    // Segments whose box, grown by that and a margin far beyond the
    // rounding, leaves the centre out are passed over.
    const float grow = (r + travel + CollisionForm::kEndTolerance + 0.001f) * 1.001f + 1e-6f;
    for (int j = 0; j < form.segmentCount; ++j) {
        const Vec2 a = form.vertices.element[j];
        const Vec2 b = form.vertices.element[(j + 1) % count];
        // (A segment with a NaN end never hits, whichever way this goes.)
        if (p.x < std::min(a.x, b.x) - grow || p.x > std::max(a.x, b.x) + grow ||
            p.y < std::min(a.y, b.y) - grow || p.y > std::max(a.y, b.y) + grow)
            continue;
        const Vec2 e = NormalizedIfLong(b - a);
        const Vec2 w = p - a;
        const float t = Dot(w, e);
        const Vec2 q = a + t * e;
        const Vec2 n = NormalizedIfLong(p - q);
        if (Dot(n, d) > 0.0f)
            continue;
        const float dist = Dot(w, n);
        if (dist <= r) {
            if (dist <= 0.0f)
                continue;
            const Vec2 f = p - dist * n;
            if (!OnExtendedSegment(f, a, b))
                continue;
            *move = (r - dist) * n;
        } else {
            const Vec2 c = p - r * n;
            const float gap = dist - r;
            const float speed = std::fabs(Dot(n, d));
            if (speed <= 0.0001f || speed <= gap)
                continue;
            const float f = gap / speed;
            const Vec2 m = f * d;
            if (!OnExtendedSegment(c + m, a, b))
                continue;
            *move = m;
        }
        *normal = n;
        return true;
    }
    return false;
}

// Every form with a bounding circle, in list order; whether it is enabled is
// asked of the form itself when a ball comes near.
void RebuildFormBounds(const Table& table, FormBoundsIndex* bounds) {
    bounds->x.clear();
    bounds->y.clear();
    bounds->radius.clear();
    bounds->form.clear();
    for (int i = 0; i < table.ElementCount(); ++i) {
        TableObject* e = table.Element(i);
        if (e->type != ELEMENT_FORM)
            continue;
        const CollisionForm& form = *static_cast<const CollisionForm*>(e);
        if (!form.hasBounds)
            continue;
        bounds->x.push_back(form.centre.x);
        bounds->y.push_back(form.centre.y);
        bounds->radius.push_back(form.boundRadius);
        bounds->form.push_back(e);
    }
    bounds->stale = false;
}

void Respond(int cType, const CollisionForm& form, Vec2 n, Vec2* v) {
    const float vn = Dot(*v, n);
    switch (cType) {
        case COLLISION_COMBINE:
            *v = form.k_bounce * (*v - (2.0f * vn) * n) + form.k_slide * (*v - vn * n);
            break;
        case COLLISION_BOUNCE:
            *v = form.k_bounce * (*v - (2.0f * vn) * n);
            break;
        case COLLISION_SLIDE:
            *v = form.k_slide * (*v - vn * n);
            break;
        case COLLISION_STOP:
            *v = Vec2{};
            break;
        default:  // DESTROY, TELEPORT, NONE: the links act on the event
            break;
    }
}

}  // namespace

void MoveAndCollide(Table& table, BallMotion* ball, float h) {
    Vec2& p = ball->position;
    Vec2& v = ball->velocity;
    const float r = ball->radius;
    Vec2 s = h * v;
    int pass = 0;
    FormBoundsIndex& bounds = table.formBounds;
    if (bounds.stale)
        RebuildFormBounds(table, &bounds);
    const int formCount = int(bounds.form.size());
    const float* centreX = bounds.x.data();
    const float* centreY = bounds.y.data();
    const float* boundRadius = bounds.radius.data();
    for (;;) {
        const float sLength = Length(s);
        // v and h stay the same over a pass until its hit ends it.
        const float travel = Length(v) * h;
        if (!std::isfinite(sLength) || !std::isfinite(travel)) {
            // A response factor of a script (k_bounce 1e20) threw the ball out
            // of float range: it stops for this step rather than turn NaN.
            v = Vec2{};
            return;
        }
        if (sLength < 0.0001f) {
            p += s;
            return;
        }
        bool passHit = false;
        for (int k = 0; k < formCount && !passHit; ++k) {
            // Far forms are passed over on the squared distance; the margin is
            // far beyond its rounding, and the exact test decides near ones.
            const Vec2 toCentre = p - Vec2{centreX[k], centreY[k]};
            const float reach = travel + boundRadius[k] + r;
            if (LengthSq(toCentre) > reach * reach * 1.001f)
                continue;
            CollisionForm& form = *static_cast<CollisionForm*>(bounds.form[k]);
            if (!form.Enabled())
                continue;
            if (!(Length(toCentre) < reach))
                continue;
            Vec2 m, n;
            if (!FindHit(form, p, r, h * v, travel, &m, &n))
                continue;
            form.event_flag = 1;
            form.ball_index = table.IndexOf(table.currentBall);
            if (TableProbe* probe = table.Probe())
                probe->FormHit(form);
            ball->contact = &form;
            Respond(form.c_type, form, n, &v);
            if (form.c_type == COLLISION_NONE)
                continue;
            const float hLeft = (travel - Length(m)) * h / travel;
            const Vec2 contactPoint = p + m;
            if (!std::isfinite(hLeft) || !IsFinite(contactPoint)) {
                // Geometry or a radius beyond float range: no contact to move to.
                v = Vec2{};
                return;
            }
            h = hLeft;
            p = contactPoint;
            passHit = true;
        }
        ++pass;
        s = h * v;
        if (!passHit) {
            p += s;
            return;
        }
        if (pass > 6) {
            if (TableProbe* probe = table.Probe(); probe && table.currentBall)
                probe->HitLimit(*table.currentBall);
            v = Vec2{};
            return;
        }
    }
}
