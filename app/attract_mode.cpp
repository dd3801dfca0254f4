#include "app/attract_mode.h"

#include <algorithm>
#include <filesystem>

#include "platform/surface.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "table/table.h"

AttractMode::AttractMode() = default;

AttractMode::~AttractMode() {
    Stop();
}

std::vector<std::string> AttractMode::ReplayFiles(const char* folder) {
    std::vector<std::string> names;
    std::error_code ec;
    const std::filesystem::path dir = ResolveLoosePath(folder);
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 7 && name.compare(name.size() - 7, 7, ".replay") == 0 &&
            it->is_regular_file(ec))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        if ((a == kLastName) != (b == kLastName))
            return a == kLastName;
        return a < b;
    });
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(std::string(folder) + "\\" + name);
    return paths;
}

void AttractMode::Touch() {
    quietMs_ = 0;
    Stop();
}

void AttractMode::Stop() {
    if (!table_)
        return;
    GameRandomSwap own(&random_);
    playback_.Stop();
    table_.reset();
    playing_.clear();
}

bool AttractMode::StartNext() {
    const std::vector<std::string> files = ReplayFiles(kFolder);
    // Each file at most once: a folder of broken replays is not read over
    // and over every frame.
    for (std::size_t tried = 0; tried < files.size(); ++tried) {
        const std::string& path = files[next_++ % files.size()];
        Replay replay;
        std::string error;
        if (!ReadReplayFile(path.c_str(), &replay, &error) || replay.frames == 0)
            continue;
        GameRandomSwap own(&random_);
        table_ = std::make_unique<Table>(replay.seed);
        if (playback_.Start(table_.get(), std::move(replay), nullptr, &error)) {
            playing_ = path;
            return true;
        }
        table_.reset();
    }
    return false;
}

void AttractMode::Frame(std::int32_t ms, std::int32_t waitSeconds) {
    if (waitSeconds <= 0) {
        Stop();
        return;
    }
    if (!Running()) {
        quietMs_ += ms;
        if (quietMs_ < waitSeconds * 1000)
            return;
        quietMs_ = 0;
        // Nothing to play: wait as long again before looking once more.
        if (!StartNext())
            return;
    }
    bool playing = false;
    {
        GameRandomSwap own(&random_);
        playing = playback_.Advance(ms, nullptr);
    }
    if (!playing) {
        // The next recorded game, at once.
        Stop();
        StartNext();
    }
}

void AttractMode::Draw(Picture* target) {
    if (!table_ || target == nullptr)
        return;
    if (platform::Surface* s = target->Surface())
        s->Fill(0);
    table_->Draw(target);
}
