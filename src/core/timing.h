#pragma once

// One speed factor for every timer of the program (--speed N): a demonstration or
// a test plays a whole match N times faster with every timer in step.

namespace kuzelna {

constexpr int kMinSpeed = 1;
constexpr int kMaxSpeed = 100;

// Sets the factor, limited to kMinSpeed..kMaxSpeed.
void setSpeedFactor(int factor);
int speedFactor();

// A timer interval of `ms` at the current speed (never below 1 ms).
int scaledInterval(int ms);

} // namespace kuzelna
