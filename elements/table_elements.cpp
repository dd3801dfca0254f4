#include "elements/table_elements.h"

#include <memory>

#include "elements/ball_launchers.h"
#include "elements/lights.h"
#include "elements/link.h"
#include "elements/locker.h"
#include "elements/sound_obj.h"
#include "elements/static_images.h"
#include "elements/text_messages.h"
#include "table/element_factory.h"

namespace {

template <typename T>
std::unique_ptr<TableObject> Make(Table& table) {
    return std::make_unique<T>(table);
}

// Links may name elements further down the script: they are checked once
// the whole table is there.
void ValidateLinksAfterLoad(Table& table) {
    ValidateAllLinks(table);
}

}  // namespace

void RegisterTableElements() {
    RegisterElementClass(BLOCK_STATIC_PICTURE, &Make<StaticPicture>);
    RegisterElementClass(BLOCK_STATIC_SPRITE, &Make<StaticSprite>);
    RegisterElementClass(BLOCK_SWITCH, &Make<Switch>);
    RegisterElementClass(BLOCK_TSWITCH, &Make<TSwitch>);
    RegisterElementClass(BLOCK_LINK, &Make<Link>);
    RegisterElementClass(BLOCK_SOUND_OBJ, &Make<SoundObj>);
    RegisterElementClass(BLOCK_TELEPORTER, &Make<Teleporter>);
    RegisterElementClass(BLOCK_BALL_GENERATOR, &Make<BallGenerator>);
    RegisterElementClass(BLOCK_TEXT_MESSAGE, &Make<TextMessage>);
    RegisterElementClass(BLOCK_DUMMY, &Make<Dummy>);
    RegisterElementClass(BLOCK_TRAVELING_STRING, &Make<TravelingString>);
    RegisterElementClass(BLOCK_LOCKER, &Make<Locker>);
    RegisterTableLoadedHook(&ValidateLinksAfterLoad);
}
