#include "app/frame_timing.h"

#include <cmath>
#include <cstdio>

namespace {

double Clean(double ms) {
    return std::isfinite(ms) && ms > 0.0 ? ms : 0.0;
}

}  // namespace

void FrameTiming::Add(double updateMs, double drawMs, double presentMs) {
    times_[next_][0] = Clean(updateMs);
    times_[next_][1] = Clean(drawMs);
    times_[next_][2] = Clean(presentMs);
    next_ = (next_ + 1) % kFrames;
    if (count_ < kFrames)
        ++count_;
}

double FrameTiming::Average(int part) const {
    if (count_ == 0)
        return 0.0;
    // Summed afresh each time: no drift from adding and taking away.
    double sum = 0.0;
    for (int i = 0; i < count_; ++i)
        sum += times_[i][part];
    return sum / count_;
}

void FrameTiming::Format(char* text, std::size_t size) const {
    std::snprintf(text, size, "UPD %.2f DRAW %.2f PRES %.2f ms", Update(), Draw(), Present());
}
