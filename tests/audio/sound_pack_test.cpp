#include <gtest/gtest.h>

#include <string>

#include "audio/sound_pack.h"

TEST(SoundPackSave, WritesUpThenDownWithEmptySlotsIncluded) {
    // A button adds "down" before "up"; the save still puts "up" first.
    SoundPack pack;
    pack.AddSlot("down");
    pack.AddSlot("up");
    pack.AddSlot("left");
    pack.slots[0].fileName = "data\\sound\\click.wav";
    pack.slots[2].fileName = "data\\sound\\left.wav";  // not part of a saved pack
    std::string out = "x";
    pack.Write(&out, "\t");
    EXPECT_EQ(out,
              "x\tSoundPack {\r\n"
              "\t\tup = \"\";\r\n"
              "\t\tdown = \"data\\sound\\click.wav\";\r\n"
              "\t};\r\n");

    SoundPack none;
    out.clear();
    none.Write(&out, "");
    EXPECT_EQ(out, "SoundPack {\r\n\tup = \"\";\r\n\tdown = \"\";\r\n};\r\n");
}
