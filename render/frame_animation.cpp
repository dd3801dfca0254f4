#include "render/frame_animation.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>

#include "archive/resource_archive.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "script/message.h"

namespace {

// Missing frames reported one by one before the rest are only counted.
constexpr int kReportedMissingFrames = 3;
// So many missing in a row end the sequence: the frames after them are not
// looked for (each look is a directory search; a count of thousands would
// stall the load).
constexpr int kMissingRunEnd = 32;

bool FrameFileExists(const char* name) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (FindResource(name, &data, &size))
        return true;
    struct stat st;
    return stat(ResolveLoosePath(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void FrameFileName(char (&out)[260], const char* prefix, int number, const char* suffix) {
    std::snprintf(out, sizeof out, "%s%04d%s", prefix ? prefix : "", number, suffix ? suffix : "");
}

FrameAnimation::FrameAnimation(const char* prefix, const char* suffix, int count, int firstNumber,
                               unsigned flags) {
    const char* start = prefix ? prefix : "";
    const char* end = suffix ? suffix : "";
    if (count > kMaxFrames) {
        ReportMessage("%s####%s: %d frames asked, the first %d are used !", start, end, count,
                      kMaxFrames);
        count = kMaxFrames;
    }
    // The numbers stay ints.
    if (firstNumber > 0 && count > INT_MAX - firstNumber)
        count = INT_MAX - firstNumber;
    int missing = 0, missingRun = 0;
    for (int i = 0; i < count; ++i) {
        char name[260];
        FrameFileName(name, prefix, firstNumber + i, suffix);
        // Past the first few, a missing frame keeps an empty slot without a
        // message of its own: a wrong count must not bury the user in them.
        if (missing >= kReportedMissingFrames &&
            (missingRun >= kMissingRunEnd || !FrameFileExists(name))) {
            ++missing;
            ++missingRun;
            frames.Append(nullptr);
            continue;
        }
        Picture* picture = PictureCacheGet(name, flags | PICTURE_SURFACE | PICTURE_TRANSPARENT);
        if (picture->Width() == 0) {
            ++missing;
            ++missingRun;
        } else {
            missingRun = 0;
        }
        frames.Append(picture);
    }
    if (missing > kReportedMissingFrames)
        ReportMessage("%s####%s: %d of %d frames are missing !", start, end, missing, count);
}

FrameAnimation::~FrameAnimation() {
    for (int i = frames.Count - 1; i >= 0; --i) {
        if (frames.element[i])
            PictureCacheRelease(frames.element[i]);
    }
    frames.Clear();
}

void FrameAnimation::SetFrame(int index) {
    if (index >= 0 && index < frames.Count)
        frame = index;
}

void FrameAnimation::Draw(Picture* target, int x, int y) const {
    if (frame >= 0 && frame < frames.Count && frames.element[frame])
        frames.element[frame]->Draw(target, x, y);
}

bool FrameAnimation::Play(int n, bool direction) {
    if (playing)
        return false;
    remaining = n;
    playing = true;
    forward = direction;
    elapsed = 0.0f;
    loop = true;
    return true;
}

void FrameAnimation::Advance(float dt) {
    if (!playing)
        return;
    int count = frames.Count;
    // Nothing to step through; also keeps the wrap below from dividing by 0.
    if (count <= 0)
        return;
    elapsed += dt;
    int prev = frame;
    constexpr int kMostSteps = 1000000;
    if (frameTime > 0.0f) {
        int n = 0;
        if (elapsed / frameTime > 100000.0f) {
            // A huge step of time (or a tiny frame time) is taken in one go.
            float steps = std::floor(elapsed / frameTime);
            n = steps > 1e6f ? kMostSteps : int(steps);
            elapsed = std::fmod(elapsed, frameTime);
        }
        while (elapsed >= frameTime) {
            elapsed -= frameTime;
            ++n;
        }
        frame += forward ? n : -n;
    } else if (!loop || remaining >= 0) {
        // Frames that take no time: a play with an end reaches it at once
        // (an endless loop has no pace and stays where it is).
        elapsed = 0.0f;
        frame += forward ? kMostSteps : -kMostSteps;
    }
    if (remaining >= 0) {
        remaining -= std::abs(frame - prev);
        if (remaining <= 0) {
            if (forward)
                frame += remaining;
            else
                frame -= remaining;
            playing = false;
            remaining = -1;
        }
    }
    if (loop) {
        frame %= count;
        if (frame < 0)
            frame += count;
    } else if (frame < 0) {
        frame = 0;
        playing = false;
    } else if (frame >= count) {
        frame = count - 1;
        playing = false;
    }
}

// ---------------------------------------------------------------------------

ArchiveAnimation::ArchiveAnimation(const char* prefix, const char* suffix, int frameCount,
                                   int firstNumber, const ResourceArchive* archive) {
    archive_ = archive ? archive : dynamic_cast<const ResourceArchive*>(GetResourceProvider());
    if (!archive_ || !archive_->IsOpen())
        return;
    count = frameCount;
    char name[260];
    FrameFileName(name, prefix, firstNumber, suffix);
    int left = 0;
    const ResourceArchive::Entry* first = archive_->FindEntry(name, &left);
    if (!first || count < 1 || left < count)
        return;
    firstEntry_ = int(first - archive_->Entries());
    valid = true;
}

ArchiveAnimation::~ArchiveAnimation() {
    delete picture;
}

void ArchiveAnimation::SetFrame(int index) {
    if (index >= 0 && index < count)
        frame = index;
}

void ArchiveAnimation::Advance(float dt) {
    if (!playing || count <= 0 || frameTime <= 0.0f)
        return;
    elapsed += forward ? dt : -dt;
    double steps = forward ? std::floor(elapsed / frameTime) : std::floor(elapsed / -frameTime);
    // Keeps the conversion to int defined whatever time has gone by.
    if (steps > 1e9)
        steps = 1e9;
    if (steps < -1e9)
        steps = -1e9;
    frame = forward ? int(steps) : count - 1 - int(steps);
    if (loop) {
        frame %= count;
        if (frame < 0)
            frame += count;
    } else if (frame < 0) {
        frame = 0;
        playing = false;
    } else if (frame >= count) {
        frame = count - 1;
        playing = false;
    }
}

void ArchiveAnimation::UpdatePicture() {
    if (!valid || !archive_ || !archive_->IsOpen() || loadedFrame == frame)
        return;
    if (frame < 0 || frame >= count)
        return;
    delete picture;
    picture = nullptr;
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    const ResourceArchive::Entry& entry = archive_->Entries()[firstEntry_ + frame];
    if (archive_->EntryData(entry, &data, &size))
        picture = new Picture(data, size, PICTURE_SURFACE | PICTURE_TRANSPARENT | PICTURE_SYSMEM);
    loadedFrame = frame;
}

void ArchiveAnimation::Draw(Picture* target, int x, int y) {
    UpdatePicture();
    if (picture)
        picture->Draw(target, x, y);
}
