#pragma once

#include <cstdint>
#include <string>

#include "physics/vec2.h"
#include "script/flist.h"
#include "table/table_object.h"

class Table;

enum CollisionType : std::int32_t {
    COLLISION_COMBINE = 0,
    COLLISION_BOUNCE = 1,
    COLLISION_SLIDE = 2,
    COLLISION_DESTROY = 3,
    COLLISION_TELEPORT = 4,
    COLLISION_NONE = 5,
    COLLISION_STOP = 6,
};

enum FormType : std::int32_t { FORM_OPENED = 0, FORM_CLOSED = 1 };

extern const char* const kCollisionTypeNames[7];
extern const char* const kFormTypeNames[2];

// A solid polyline of the table; the only thing balls collide with.
class CollisionForm : public TableObject {
public:
    // A hit counts on the segment extended by this much at each end.
    static constexpr float kEndTolerance = 0.006f;

    explicit CollisionForm(Table& table);
    ~CollisionForm() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Step(float dt) override;
    void DrawEditor(Picture* surface) override;
    void MoveBy(float dx, float dy) override;
    bool GetAnchor(int* x, int* y) override;
    void AddVertex() override;
    void RemoveVertex() override;
    void ToggleHandle(int step) override;

    // Shifts every vertex, the centre and the pivot (the plunger moves its
    // form this way).
    void ShiftY(float dy);
    void UpdateSegmentCount();
    int VertexCount() const { return vertices.Count; }
    Vec2 Vertex(int i) const { return vertices[i]; }
    bool HasBounds() const { return hasBounds; }

    Vec2 pivot{0.5f, 0.5f};
    Vec2 centre;
    float boundRadius = 0.0f;
    float k_slide = 0.8f;
    float k_bounce = 0.2f;
    float angularSpeed = 0.0f;
    bool rotating = false;
    std::int32_t c_type = COLLISION_COMBINE;
    std::int32_t selectedVertex = -1;
    flist<Vec2> vertices;
    std::int32_t f_type = FORM_OPENED;
    std::int32_t segmentCount = 0;
    // Set once 2 vertices gave it a bounding circle; without one it takes no
    // part in collisions.
    bool hasBounds = false;

private:
    Table& table_;
};

// The ball's state as the move-and-collide loop works on it.
struct BallMotion {
    Vec2 position;
    Vec2 velocity;
    float radius = 0.0f;
    TableObject* contact = nullptr;
};

// Moves the ball for time h against the enabled collision forms of the
// table, in list order, resolving at most seven hits. A hit form records the
// list index of the table's current ball.
void MoveAndCollide(Table& table, BallMotion* ball, float h);
