#pragma once
// Work beside the window's thread that the window never waits for.
//
// Jobs run in the order posted on a few threads of their own. What a job
// returns is a result to hand over: it runs on the receiver's thread, as a
// queued call, unless the receiver is gone by then. Destroying the jobs drops
// those not started and waits for none: a job stuck in a read (a file on a
// network mount that stopped answering) neither holds up the window that
// closes nor keeps the process alive after it, and finishes, or not, alone.
//
// A job must therefore own everything it touches: its own copies of paths and
// values, and services that keep no state of their own.

#include <QObject>
#include <functional>
#include <memory>

namespace qel::platform {

class BackgroundJobs {
public:
    using Result = std::function<void()>;
    using Job = std::function<Result()>;

    BackgroundJobs(QObject& receiver, int threads);
    ~BackgroundJobs();
    BackgroundJobs(const BackgroundJobs&) = delete;
    BackgroundJobs& operator=(const BackgroundJobs&) = delete;

    void post(Job job);
    // Drops the jobs not started yet.
    void clear();
    // Waits until every job posted has run and hands their results over now
    // (tests and benchmarks).
    void waitForAll();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    QObject& receiver_;
};

}  // namespace qel::platform
