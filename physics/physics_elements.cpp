#include "physics/physics_elements.h"

#include <memory>

#include "physics/collision_form.h"
#include "physics/handle.h"
#include "physics/main_ball.h"
#include "physics/spring.h"
#include "table/element_factory.h"

namespace {

template <typename T>
std::unique_ptr<TableObject> Make(Table& table) {
    return std::make_unique<T>(table);
}

}  // namespace

void RegisterPhysicsElements() {
    RegisterElementClass(BLOCK_MAIN_BALL, &Make<MainBall>);
    RegisterElementClass(BLOCK_COLLISION_FORM, &Make<CollisionForm>);
    RegisterElementClass(BLOCK_HANDLE, &Make<Handle>);
    RegisterElementClass(BLOCK_SPRING, &Make<Spring>);
}
