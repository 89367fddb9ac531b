#include "reports/spreadsheet_worker.h"

#include <cstdio>

namespace kuzelna {

SpreadsheetWorker::SpreadsheetWorker(SpreadsheetFactory factory, std::function<void()> interrupt,
                                     std::chrono::milliseconds reapInterval)
    : factory_(std::move(factory)), interrupt_(std::move(interrupt)), reapInterval_(reapInterval),
      thread_([this] { run(); }) {}

SpreadsheetWorker::~SpreadsheetWorker() {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
    if (!changed_.wait_for(lock, finishTimeout, [this] { return finished_; }) && interrupt_) {
        lock.unlock();
        interrupt_();
        lock.lock();
    }
    lock.unlock();
    thread_.join();
}

void SpreadsheetWorker::post(Job job) {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    ++pending_;
    changed_.notify_all();
}

int SpreadsheetWorker::pending() const {
    std::lock_guard lock(mutex_);
    return pending_;
}

bool SpreadsheetWorker::waitIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return pending_ == 0; });
}

void SpreadsheetWorker::run() {
    {
        // The session and every application in it live and die on this thread.
        SpreadsheetSession session(factory_);
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait_for(lock, reapInterval_, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) {
                if (stopping_) break;
                lock.unlock();
                try {
                    session.reap();
                } catch (...) {
                }
                lock.lock();
                continue;
            }
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            try {
                job(session);
            } catch (const std::exception& error) {
                // A job hands its own errors back; this one escaped it.
                std::fprintf(stderr, "kuzelna: spreadsheet: %s\n", error.what());
            } catch (...) {
            }
            try {
                session.reap();
            } catch (...) {
            }
            lock.lock();
            --pending_;
            changed_.notify_all();
        }
        lock.unlock();
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

} // namespace kuzelna
