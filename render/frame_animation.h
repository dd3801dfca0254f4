#pragma once

#include "script/flist.h"

class Picture;
class ResourceArchive;

inline constexpr float DEFAULT_FRAMETIME = 0.05f;

// A numbered frame sequence, frames named "%s%04d%s" (prefix, first + i,
// suffix) and shared through the PictureCache. The owner drives it through
// the public fields; Advance applies the time.
//   FrameAnimation a("data\\flip", ".bmp", 8, 0, 0);
//   a.Play(3, true);  a.Advance(dt);  a.Draw(display.BackPicture(), x, y);
class FrameAnimation {
public:
    // Frames an animation takes at most: a script asking for millions would
    // stall the load picture by picture. Longer films are ArchiveAnimations.
    static constexpr int kMaxFrames = 4096;

    // count is cut to kMaxFrames. The first few frames that can't be read
    // are reported by the picture cache; the slots of further missing files
    // stay empty (nullptr) and one message counts them.
    FrameAnimation(const char* prefix, const char* suffix, int count, int firstNumber,
                   unsigned flags);
    virtual ~FrameAnimation();
    FrameAnimation(const FrameAnimation&) = delete;
    FrameAnimation& operator=(const FrameAnimation&) = delete;

    void SetFrame(int index);
    void Draw(Picture* target, int x, int y) const;
    void Advance(float dt);
    // Plays n frames (n < 0: no limit) in a direction; false when already playing.
    bool Play(int n, bool direction);

    int Count() const { return frames.Count; }
    Picture* Frame(int i) const { return i >= 0 && i < frames.Count ? frames.element[i] : nullptr; }

    bool forward = true;
    bool playing = false;
    bool loop = true;
    float frameTime = DEFAULT_FRAMETIME;
    int remaining = -1;
    int frame = 0;
    float elapsed = 0.0f;
    // Owners that load frames on demand may set Count and null slots.
    flist<Picture*> frames;
};

// Frames that are consecutive entries of the data archive; only the current
// frame is decoded, when drawn. Used for long sequences (the loading splash).
//   ArchiveAnimation a("data\\splash\\s", ".bmp", 120, 0);
//   if (a.valid) { a.playing = true; a.Advance(dt); a.Draw(back, 0, 0); }
class ArchiveAnimation {
public:
    // archive: the open data archive; nullptr means the installed provider
    // when that is a ResourceArchive.
    ArchiveAnimation(const char* prefix, const char* suffix, int count, int firstNumber,
                     const ResourceArchive* archive = nullptr);
    ~ArchiveAnimation();
    ArchiveAnimation(const ArchiveAnimation&) = delete;
    ArchiveAnimation& operator=(const ArchiveAnimation&) = delete;

    void SetFrame(int index);
    void Advance(float dt);
    void Draw(Picture* target, int x, int y);

    bool forward = true;
    bool playing = false;
    bool loop = true;
    float frameTime = 1.0f / 24.0f;
    bool valid = false;
    int loadedFrame = -1;
    int frame = 0;
    int count = 0;
    float elapsed = 0.0f;
    Picture* picture = nullptr;  // owned

private:
    void UpdatePicture();

    const ResourceArchive* archive_ = nullptr;
    int firstEntry_ = -1;  // index in the archive directory
};

// The "%s%04d%s" frame name, cut to 260 bytes.
void FrameFileName(char (&out)[260], const char* prefix, int number, const char* suffix);
