#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "script/fixed_string.h"

class Picture;
namespace platform {
class VideoDecoder;
}

// An AVI clip decoded frame by frame into a picture, which the game
// screen's video window draws. Frames follow the time given to Update.
//   AviVideo clip("data\\video\\bonus.avi", "bonus");
//   clip.Play();  ...  clip.Update(dt);  clip.picture->Draw(back, x, y);
class AviVideo {
public:
    // Opens the file; on failure "can't load '%s'..." and the clip plays nothing.
    AviVideo(const char* fileName, const char* name);
    virtual ~AviVideo();
    AviVideo(const AviVideo&) = delete;
    AviVideo& operator=(const AviVideo&) = delete;

    virtual void Stop();
    // While playing: shows the current frame, then moves on by dt seconds;
    // stops after the last frame.
    virtual void Update(float dt);
    // From frame 0.
    void Play();
    // elapsed += dt; false at the end, or always when the rate is not above 0.
    bool Advance(float dt);

    bool IsOpen() const;

    FixedString<32> name;
    int width = 0, height = 0;
    int bufferSize = 0;                // the file's suggested buffer size
    std::vector<std::uint8_t> buffer;  // one decoded frame: 24-bit rows, bottom-up
    std::unique_ptr<Picture> picture;  // none when the file could not be opened
    FixedString<260> fileName;
    bool playing = false;
    std::unique_ptr<platform::VideoDecoder> stream;
    float framesPerSecond = 0.3333f;
    int frameCount = 0;
    int frame = 0;
    float elapsed = 0.0f;
    int shownFrame = -1;  // the frame now in the picture

private:
    bool Open();
    bool Decode();
    void CloseStream();
};

// 24-bit bottom-up rows (stride bytes apart) into 32-bit top-down 0x00RRGGBB.
void RowsToPixels(const std::uint8_t* rows, int stride, int width, int height,
                  std::uint32_t* pixels);
