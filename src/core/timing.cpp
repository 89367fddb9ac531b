#include "core/timing.h"

#include <algorithm>

namespace kuzelna {
namespace {
int g_speedFactor = 1;
} // namespace

void setSpeedFactor(int factor) {
    g_speedFactor = std::clamp(factor, kMinSpeed, kMaxSpeed);
}

int speedFactor() {
    return g_speedFactor;
}

int scaledInterval(int ms) {
    return std::max(1, ms / g_speedFactor);
}

} // namespace kuzelna
