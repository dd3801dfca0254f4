#include "tools/zarnik-sim/sim_check.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "physics/main_ball.h"
#include "table/table.h"

bool CheckBallsFinite(const Table& table, int frame, std::string* message) {
    for (int i = 0; i < table.BallCount(); ++i) {
        const MainBall* b = static_cast<const MainBall*>(table.Ball(i));
        if (IsFinite(b->position) && HasFiniteLength(b->velocity))
            continue;
        char text[200];
        std::snprintf(text, sizeof text,
                      "frame %d: ball %d at (%g, %g) moving at (%g, %g) is not finite", frame, i,
                      double(b->position.x), double(b->position.y), double(b->velocity.x),
                      double(b->velocity.y));
        *message = text;
        return false;
    }
    return true;
}

bool CheckLoadTime(double seconds, double limit, std::string* message) {
    if (seconds <= limit)
        return true;
    char text[120];
    std::snprintf(text, sizeof text, "the table took longer than %g s to load", limit);
    *message = text;
    return false;
}

LoadWatchdog::LoadWatchdog(double limit) {
    thread_ = std::thread([this, limit] {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto wait = std::chrono::duration<double>(limit);
        if (done_.wait_for(lock, wait, [this] { return finished_; }))
            return;
        std::string message;
        CheckLoadTime(limit + 1.0, limit, &message);
        std::fprintf(stderr, "zarnik-sim: %s\n", message.c_str());
        std::fflush(stderr);
        // The load is stuck in the main thread; nothing there can be unwound.
        std::_Exit(3);
    });
}

LoadWatchdog::~LoadWatchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    done_.notify_one();
    thread_.join();
}
