#include "audio/cd_player.h"

#include <sys/stat.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/audio_output.h"
#include "platform/music_track.h"
#include "script/file_access.h"

namespace {

constexpr int kFramesPerSecond = 75;

void FormatMsf(int frames, char* out, int size) {
    std::snprintf(out, std::size_t(size), "%02d:%02d:%02d", frames / (kFramesPerSecond * 60),
                  frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
}

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

bool LooseFileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool EqualNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
    }
    return *a == *b;
}

}  // namespace

MusicFolderDrive::MusicFolderDrive(const char* folder) : folder_(folder) {}

MusicFolderDrive::~MusicFolderDrive() {
    Unload();
}

void MusicFolderDrive::Unload() {
    platform::HaltMusic();
    tracks_.clear();
    scanned_ = false;
}

bool MusicFolderDrive::Scan() {
    if (!platform::AudioOutputIsOpen())
        return false;  // no output: no disc to read yet
    if (scanned_ && generation_ == platform::AudioOutputGeneration())
        return !tracks_.empty();
    Unload();
    scanned_ = true;
    generation_ = platform::AudioOutputGeneration();
    static constexpr const char* kExtensions[] = {".ogg", ".wav", ".flac", ".mp3"};
    std::string files[kMaxTracks + 1];
    int count = 0;
    for (int n = 2; n <= kMaxTracks; ++n) {
        for (const char* ext : kExtensions) {
            char name[300];
            std::snprintf(name, sizeof name, "%s\\track%02d%s", folder_.c_str(), n, ext);
            std::string path = ResolveLoosePath(name);
            if (LooseFileExists(path)) {
                files[n] = path;
                count = n;
                break;
            }
        }
    }
    if (count == 0)
        return false;
    tracks_.resize(std::size_t(count));
    int frame = kDataTrackFrames;  // the lead-in before track 1
    for (int n = 1; n <= count; ++n) {
        Track& t = tracks_[std::size_t(n - 1)];
        t.startFrame = frame;
        if (n == 1) {
            t.lengthFrames = kDataTrackFrames;
        } else if (!files[n].empty()) {
            auto music = std::make_unique<platform::MusicTrack>();
            double seconds = music->Open(files[n].c_str()) ? music->Duration() : -1.0;
            if (seconds >= 0 && seconds < 100.0 * 60) {
                t.lengthFrames = int(std::lround(seconds * kFramesPerSecond));
                t.music = std::move(music);
            }
        }
        frame += t.lengthFrames;
    }
    return true;
}

std::uint32_t MusicFolderDrive::Send(const char* command, char* reply, int replySize) {
    if (replySize > 0)
        reply[0] = '\0';
    int t = 0;
    if (EqualNoCase(command, "close cdaudio")) {
        Unload();
        return 0;
    }
    if (EqualNoCase(command, "stop cdaudio")) {
        platform::HaltMusic();
        return 0;
    }
    bool ready = Scan();
    if (EqualNoCase(command, "status cdaudio mode")) {
        const char* mode = !ready ? "not ready" : platform::MusicPlaying() ? "playing" : "stopped";
        std::snprintf(reply, std::size_t(replySize), "%s", mode);
        return 0;
    }
    if (!ready)
        return CD_ERROR_NOT_READY;
    int count = int(tracks_.size());
    if (EqualNoCase(command, "status cdaudio number of tracks")) {
        std::snprintf(reply, std::size_t(replySize), "%d", count);
        return 0;
    }
    auto audioTrack = [&](int n) {
        return n >= 2 && n <= count && tracks_[std::size_t(n - 1)].music;
    };
    auto known = [&](int n) { return n == 1 || audioTrack(n); };
    if (std::sscanf(command, "status cdaudio length track %d", &t) == 1 &&
        StartsWith(command, "status cdaudio length")) {
        if (!known(t))
            return CD_ERROR_BAD_TRACK;
        FormatMsf(tracks_[std::size_t(t - 1)].lengthFrames, reply, replySize);
        return 0;
    }
    if (std::sscanf(command, "status cdaudio position track %d", &t) == 1 &&
        StartsWith(command, "status cdaudio position")) {
        if (!known(t))
            return CD_ERROR_BAD_TRACK;
        FormatMsf(tracks_[std::size_t(t - 1)].startFrame, reply, replySize);
        return 0;
    }
    if (std::sscanf(command, "status cdaudio type track %d", &t) == 1 &&
        StartsWith(command, "status cdaudio type")) {
        if (t < 1 || t > count)
            return CD_ERROR_BAD_TRACK;
        std::snprintf(reply, std::size_t(replySize), "%s", t == 1 ? "other" : "audio");
        return 0;
    }
    int m = 0, s = 0, f = 0;
    if (std::sscanf(command, "play cdaudio from %d:%d:%d", &m, &s, &f) == 3) {
        int from = (m * 60 + s) * kFramesPerSecond + f;
        for (int n = 2; n <= count; ++n) {
            Track& track = tracks_[std::size_t(n - 1)];
            if (!track.music || from < track.startFrame ||
                from >= track.startFrame + std::max(track.lengthFrames, 1)) {
                continue;
            }
            double offset = double(from - track.startFrame) / kFramesPerSecond;
            return track.music->Play(offset) ? 0u : CD_ERROR_CANNOT_PLAY;
        }
        return CD_ERROR_CANNOT_PLAY;  // the data track, or nothing there
    }
    return CD_ERROR_UNKNOWN_COMMAND;
}

CdPlayer::CdPlayer(std::unique_ptr<CdDrive> drive) : drive_(std::move(drive)) {
    if (!drive_)
        drive_ = std::make_unique<MusicFolderDrive>();
    // The output's music volume is always there to be set.
    hasVolume = true;
    savedVolume = GetVolume();
}

CdPlayer::~CdPlayer() {
    SetVolume(savedVolume);
    Stop();
    Close();
}

std::uint32_t CdPlayer::Send(const char* command) {
    lastError = drive_->Send(command, reply, replySize);
    return lastError;
}

float CdPlayer::GetVolume() const {
    if (!hasVolume)
        return 0.0f;
    return float(platform::MusicVolume()) * (1.0f / 65535.0f);
}

void CdPlayer::SetVolume(float v) {
    if (!hasVolume)
        return;
    if (!(v >= 0.0f))
        v = 0.0f;  // NaN too
    if (v > 1.0f)
        v = 1.0f;
    platform::SetMusicVolume(std::uint32_t(v * 65535.0f));
}

int CdPlayer::Mode() {
    if (Send("status cdaudio mode") != 0)
        return 4;
    if (EqualNoCase(reply, "not ready"))
        return 4;
    if (EqualNoCase(reply, "paused"))
        return 2;
    if (EqualNoCase(reply, "playing"))
        return 0;
    if (EqualNoCase(reply, "stopped"))
        return 1;
    if (EqualNoCase(reply, "open"))
        return 4;
    return 3;
}

std::uint32_t CdPlayer::Prepare(int t) {
    track = 0;
    length = 0.0f;
    char command[64];
    if (Send("status cdaudio number of tracks") != 0)
        return lastError;
    std::snprintf(command, sizeof command, "status cdaudio length track %d", t);
    if (Send(command) != 0)
        return lastError;
    int lm = 0, ls = 0, lf = 0;
    std::sscanf(reply, "%d:%d:%d", &lm, &ls, &lf);
    std::snprintf(command, sizeof command, "status cdaudio position track %d", t);
    if (Send(command) != 0)
        return lastError;
    int pm = 0, ps = 0, pf = 0;
    std::sscanf(reply, "%d:%d:%d", &pm, &ps, &pf);
    track = t;
    start = reply;

    int frames = pf + lf;
    int seconds = ps + ls + frames / kFramesPerSecond;
    int minutes = pm + lm + seconds / 60;
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", minutes % 1000, seconds % 60,
                  frames % kFramesPerSecond);
    end = text;
    length = float((lm * 60 + ls) * 1000) + float(lf) * 1000.0f / kFramesPerSecond;
    Stop();
    return 0;
}

void CdPlayer::Play(bool loopTrack) {
    playing = false;
    loop = false;
    if (Mode() == 4)
        return;
    if (track == 0)
        return;
    remaining = length;
    char command[64];
    std::snprintf(command, sizeof command, "play cdaudio from %s to %s", start.c_str(),
                  end.c_str());
    if (Send(command) == 0) {
        playing = true;
        loop = loopTrack;
        return;
    }
    // An audio track that would not play: try the next one. A data track ends it.
    std::snprintf(command, sizeof command, "status cdaudio type track %d", track);
    if (Send(command) != 0)
        return;
    if (std::strstr(reply, "udio") || std::strstr(reply, "\xF3\xE4\xE8\xEE")) {
        PlayTrack(track + 1, loopTrack);
    }
}

void CdPlayer::PlayTrack(int t, bool loopTrack) {
    Prepare(t);
    Play(loopTrack);
}

void CdPlayer::Stop() {
    Send("stop cdaudio");
    remaining = 0.0f;
    playing = false;
}

void CdPlayer::Tick(float dt) {
    if (!playing)
        return;
    if (remaining > 0.0f) {
        remaining -= dt * 1000.0f;
    } else if (loop) {
        Play(true);
    }
}

void CdPlayer::Close() {
    int mode = Mode();
    if (mode == 2 || mode == 0)
        Send("stop cdaudio");
    Send("close cdaudio");
    remaining = 0.0f;
    playing = false;
}

CdPlayer& GetCdPlayer() {
    static CdPlayer player;
    return player;
}
