#include "platform/clock.h"

#include <SDL.h>

namespace platform {

std::uint32_t Ticks() {
    // SDL starts its clock on first use; that needs no subsystem.
    return SDL_GetTicks();
}

}  // namespace platform
