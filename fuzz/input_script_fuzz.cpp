// Control bindings read from arbitrary script text, then polled with every
// key down: names and key names never overrun, no code reads outside the state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "input/control_binding.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > (1u << 16))
        return 0;
    ZarnikScr scr(reinterpret_cast<const char*>(data), int(size));
    InputManager input;
    input.ReadBindings(WholeScript(scr));
    platform::ManualKeyboard keyboard;
    for (int code = 0; code < 256; ++code)
        keyboard.Set(code, true);
    input.SetKeyboard(&keyboard);
    input.Poll();
    for (int i = 0; i < input.bindings.Count; ++i) {
        const ControlBinding& b = input.bindings[i];
        if (b.name.size() > 31)
            std::abort();
        if (b.devicecode < 0 || b.devicecode > 221)
            std::abort();
        if (b.device != DEVICE_KEYBOARD && b.pressed != 0)
            std::abort();
    }
    return 0;
}
