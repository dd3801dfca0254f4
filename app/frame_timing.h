#pragma once

#include <cstddef>

// The developer overlay's times of the three parts of a frame (update: the
// controls, the table or the menus; draw: the back surface; present: to the
// window), in milliseconds, averaged over the last kFrames frames so the
// figures can be read while they change.
class FrameTiming {
public:
    static constexpr int kFrames = 32;

    // A time that is not a number or below zero counts as 0.
    void Add(double updateMs, double drawMs, double presentMs);
    int Count() const { return count_; }
    double Update() const { return Average(0); }
    double Draw() const { return Average(1); }
    double Present() const { return Average(2); }
    // "UPD 1.25 DRAW 2.50 PRES 0.75 ms"
    void Format(char* text, std::size_t size) const;

private:
    double Average(int part) const;

    double times_[kFrames][3] = {};
    int next_ = 0;
    int count_ = 0;
};
