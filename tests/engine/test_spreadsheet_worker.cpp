#include "reports/spreadsheet_worker.h"
#include "support/recording_spreadsheet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace kuzelna;
using namespace kuzelna::testing;

// Jobs run in the order posted, one after another, on a thread that is not the
// poster's; one that fails does not stop the next.
TEST(SpreadsheetWorker, RunsTheJobsInOrderOnItsOwnThread) {
    SpreadsheetRecorder recorder;
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    {
        SpreadsheetWorker worker(recorder.factory());
        for (int job = 1; job <= 3; ++job) {
            worker.post([&, job](SpreadsheetSession& session) {
                order.push_back(job);
                threads.push_back(std::this_thread::get_id());
                session.start();
                if (job == 2) throw std::runtime_error("a failing job");
            });
        }
        EXPECT_TRUE(worker.waitIdle(std::chrono::seconds(10)));
        EXPECT_EQ(worker.pending(), 0);
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start", "start", "start"}));
    for (const std::thread::id& thread : threads)
        EXPECT_NE(thread, std::this_thread::get_id());
}

// A program that ends while an office call hangs breaks the call off instead
// of waiting for it for ever.
TEST(SpreadsheetWorker, AHangingCallIsInterruptedWhenTheWorkerEnds) {
    SpreadsheetRecorder recorder;
    std::mutex mutex;
    std::condition_variable released;
    bool interrupted = false;
    std::atomic<bool> started{false};
    auto interrupt = [&] {
        std::lock_guard lock(mutex);
        interrupted = true;
        released.notify_all();
    };
    {
        SpreadsheetWorker worker(recorder.factory(), interrupt);
        worker.finishTimeout = std::chrono::milliseconds(50);
        worker.post([&](SpreadsheetSession&) {
            started = true;
            std::unique_lock lock(mutex);
            released.wait(lock, [&] { return interrupted; });
        });
        while (!started)
            std::this_thread::yield();
        EXPECT_FALSE(worker.waitIdle(std::chrono::milliseconds(20)));
        EXPECT_EQ(worker.pending(), 1);
    }
    EXPECT_TRUE(interrupted);
}
