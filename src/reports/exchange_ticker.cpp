#include "reports/exchange_ticker.h"

#include "core/match_state.h"

#include <exception>

namespace kuzelna {
namespace {

constexpr int kFileTickPeriod = 10; // written when the counter passes it: every 11 ticks
constexpr int kAdvertTicks = 10;
constexpr int kLastAdvert = 21;

} // namespace

std::string advertButtonCaption(int advertNumber) {
    return "Vypni reklamu " + std::to_string(advertNumber);
}

void ExchangeTicker::tick(MatchState& state, ExchangeActions& actions) {
    std::exception_ptr firstError;
    auto step = [&firstError](auto&& run) {
        try {
            run();
        } catch (...) {
            if (!firstError) firstError = std::current_exception();
        }
    };

    tickToggle_ = 1 - tickToggle_;
    step([&] {
        if (tickToggle_ == 1) {
            actions.refreshOverview();
        } else if (state.controls.monitorsOn) {
            actions.sendDatagram();
        }
    });

    ++fileTicks_;
    if (fileTicks_ > kFileTickPeriod) {
        step([&] {
            actions.writeResultFiles();
            fileTicks_ = 0;
        });
        // A failed write leaves the counter due, so the next tick tries again.
        if (fileTicks_ != 0) fileTicks_ = kFileTickPeriod;
    }

    step([&] {
        if (state.advertNumber == 0) return;
        ++state.advertTicks;
        if (state.advertTicks < kAdvertTicks) return;
        state.advertNumber = static_cast<u8>(state.advertNumber >= kLastAdvert ? 1 : state.advertNumber + 1);
        state.advertTicks = 0;
        actions.advertCaption(advertButtonCaption(state.advertNumber));
    });

    if (firstError) std::rethrow_exception(firstError);
}

} // namespace kuzelna
