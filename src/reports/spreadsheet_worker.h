#pragma once

// The spreadsheet session on a thread of its own. An office call may take
// seconds, or wait for as long as the office shows a window of its own; the
// lane link and the displays must not wait with it. The user-interface thread
// only posts jobs; each job runs here, in order, on a snapshot of what it needs,
// and hands its result back through a queued call of the caller's choice.

#include "reports/spreadsheet.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kuzelna {

class SpreadsheetWorker {
public:
    using Job = std::function<void(SpreadsheetSession&)>;

    // `interrupt` breaks off an office call that does not return (called from
    // the destroying thread when the worker does not finish in time).
    explicit SpreadsheetWorker(SpreadsheetFactory factory, std::function<void()> interrupt = {},
                               std::chrono::milliseconds reapInterval = std::chrono::seconds(2));
    // Runs the jobs already posted, then ends the session on the worker thread
    // (applications the operator can see stay open). Waits at most
    // `finishTimeout` before interrupting a call that hangs.
    ~SpreadsheetWorker();
    SpreadsheetWorker(const SpreadsheetWorker&) = delete;
    SpreadsheetWorker& operator=(const SpreadsheetWorker&) = delete;

    void post(Job job);
    // Jobs posted and not yet finished (the running one included).
    int pending() const;
    // Blocks until every job posted so far has finished, at most `timeout`.
    bool waitIdle(std::chrono::milliseconds timeout) const;

    std::chrono::milliseconds finishTimeout{5000};

private:
    void run();

    SpreadsheetFactory factory_;
    std::function<void()> interrupt_;
    std::chrono::milliseconds reapInterval_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<Job> jobs_;
    int pending_ = 0;
    bool stopping_ = false;
    bool finished_ = false;
    std::thread thread_;
};

} // namespace kuzelna
