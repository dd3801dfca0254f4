#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class Table;

// What `zarnik-sim --check` verifies of a run; the table fuzz targets hold
// every input to the same.

inline constexpr double kDefaultLoadLimit = 10.0;

// False, with a message naming the frame and the ball, when a ball's
// position or speed is not a finite number.
bool CheckBallsFinite(const Table& table, int frame, std::string* message);

// False, with a message, when a table load took longer than `limit` seconds.
bool CheckLoadTime(double seconds, double limit, std::string* message);

// A load that hangs inside one statement can't be checked after it: while
// this object lives, a load running past `limit` seconds ends the process
// with CheckLoadTime's message and exit code 3.
class LoadWatchdog {
public:
    explicit LoadWatchdog(double limit);
    ~LoadWatchdog();
    LoadWatchdog(const LoadWatchdog&) = delete;
    LoadWatchdog& operator=(const LoadWatchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};
