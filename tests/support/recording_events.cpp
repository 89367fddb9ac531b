#include "support/recording_events.h"

#include <algorithm>

namespace kuzelna::testing {

int RecordingEvents::count(const std::string& entry) const {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

} // namespace kuzelna::testing
