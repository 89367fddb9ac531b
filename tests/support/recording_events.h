#pragma once

// A MatchEvents listener that writes down what the engine told the shell, in order.

#include "core/match_events.h"

#include <string>
#include <vector>

namespace kuzelna::testing {

class RecordingEvents : public MatchEvents {
public:
    void laneChanged(int lane) override { log.push_back("lane " + std::to_string(lane)); }
    void throwChanged(int slot) override { log.push_back("throw " + std::to_string(slot)); }
    void blockChanged() override { log.push_back("block"); }
    void matchEnded() override { log.push_back("end"); }
    void nameSwapSeconds(int seconds) override { swapSeconds.push_back(seconds); }
    void scoreDigit(int x, const std::string& text) override {
        digits.push_back(std::to_string(x) + ":" + text);
    }
    void publicPlayChanged(int lane) override { log.push_back("public " + std::to_string(lane)); }

    int count(const std::string& entry) const;

    std::vector<std::string> log;
    std::vector<int> swapSeconds;
    std::vector<std::string> digits;
};

} // namespace kuzelna::testing
