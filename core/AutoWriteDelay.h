#pragma once

#include <algorithm>

// The delay of automatic writing. A delay of 0 s would write on the next event-loop turn and
// split a height and a weight sent a moment apart over two records; any stored value is held
// to 1-60 s.
namespace AutoWriteDelay {
constexpr int MinSeconds = 1;
constexpr int MaxSeconds = 60;
constexpr int DefaultSeconds = 2;

constexpr int ClampedSeconds(int storedSeconds) {
    return std::clamp(storedSeconds, MinSeconds, MaxSeconds);
}
constexpr int IntervalMs(int storedSeconds) {
    return ClampedSeconds(storedSeconds) * 1000;
}
}  // namespace AutoWriteDelay
