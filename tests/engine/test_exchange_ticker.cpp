#include "core/match_state.h"
#include "reports/exchange_ticker.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace kuzelna;

namespace {

// Records the tick number of every action; can be told to fail one of them.
struct Recorder : ExchangeActions {
    int tick = 0;
    std::vector<int> refreshes, sends, writes;
    std::vector<std::string> captions;
    bool failWrites = false;
    bool failSends = false;

    void refreshOverview() override { refreshes.push_back(tick); }
    void sendDatagram() override {
        if (failSends) throw std::runtime_error("send");
        sends.push_back(tick);
    }
    void writeResultFiles() override {
        if (failWrites) throw std::runtime_error("disk");
        writes.push_back(tick);
    }
    void advertCaption(const std::string& caption) override { captions.push_back(caption); }
};

void run(ExchangeTicker& ticker, MatchState& state, Recorder& recorder, int ticks) {
    for (int i = 0; i < ticks; ++i) {
        ++recorder.tick;
        ticker.tick(state, recorder);
    }
}

} // namespace

TEST(ExchangeTicker, AlternatesRefreshAndSendAndWritesEvery11Ticks) {
    struct Case {
        bool monitorsOn;
        std::vector<int> sends;
    };
    for (const Case& c : {Case{true, {2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22}}, Case{false, {}}}) {
        MatchState state;
        state.controls.monitorsOn = c.monitorsOn;
        ExchangeTicker ticker;
        Recorder recorder;
        run(ticker, state, recorder, 22);
        EXPECT_EQ(recorder.refreshes, (std::vector<int>{1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21}));
        EXPECT_EQ(recorder.sends, c.sends);
        EXPECT_EQ(recorder.writes, (std::vector<int>{11, 22}));
        EXPECT_TRUE(recorder.captions.empty());
    }
}

TEST(ExchangeTicker, AdvertisementStepsEvery10TicksAndWraps) {
    MatchState state;
    state.advertNumber = 20;
    ExchangeTicker ticker;
    Recorder recorder;
    run(ticker, state, recorder, 9);
    EXPECT_EQ(state.advertNumber, 20);
    EXPECT_EQ(state.advertTicks, 9);
    run(ticker, state, recorder, 1);
    EXPECT_EQ(state.advertNumber, 21);
    EXPECT_EQ(state.advertTicks, 0);
    run(ticker, state, recorder, 10);
    EXPECT_EQ(state.advertNumber, 1);
    EXPECT_EQ(recorder.captions, (std::vector<std::string>{"Vypni reklamu 21", "Vypni reklamu 1"}));

    // Switched off, nothing steps; monitors off do not stop the rotation.
    state.advertNumber = 0;
    run(ticker, state, recorder, 30);
    EXPECT_EQ(state.advertNumber, 0);
    EXPECT_EQ(recorder.captions.size(), 2u);
}

TEST(ExchangeTicker, AFailedWriteRaisesAndIsTriedAgainNextTick) {
    MatchState state;
    state.advertNumber = 1;
    state.advertTicks = 0;
    ExchangeTicker ticker;
    Recorder recorder;
    run(ticker, state, recorder, 10);
    recorder.failWrites = true;
    ++recorder.tick;
    EXPECT_THROW(ticker.tick(state, recorder), std::runtime_error);
    // The advertisement still stepped on the failing tick.
    EXPECT_EQ(state.advertTicks, 1);
    ++recorder.tick;
    EXPECT_THROW(ticker.tick(state, recorder), std::runtime_error);
    recorder.failWrites = false;
    run(ticker, state, recorder, 1); // tick 13 succeeds
    run(ticker, state, recorder, 11);
    EXPECT_EQ(recorder.writes, (std::vector<int>{13, 24}));
}

TEST(ExchangeTicker, AFailedSendDoesNotSkipTheFileWrite) {
    MatchState state;
    state.controls.monitorsOn = true;
    ExchangeTicker ticker;
    Recorder recorder;
    recorder.failSends = true;
    for (int i = 1; i <= 22; ++i) {
        ++recorder.tick;
        if (i % 2 == 0) {
            EXPECT_THROW(ticker.tick(state, recorder), std::runtime_error) << i;
        } else {
            EXPECT_NO_THROW(ticker.tick(state, recorder)) << i;
        }
    }
    EXPECT_EQ(recorder.writes, (std::vector<int>{11, 22}));
}
