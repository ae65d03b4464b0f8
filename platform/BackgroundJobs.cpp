#include "platform/BackgroundJobs.h"

#include <sys/resource.h>

#include <QCoreApplication>
#include <QEvent>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace qel::platform {

namespace {

constexpr int kNicer = 10;

}  // namespace

// Held by the owner and by every thread, so that a thread outliving its
// owner still has somewhere to look and sees that no one is listening.
struct BackgroundJobs::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job> queue;
    QObject* receiver = nullptr;  // null once the owner is gone
    int threads = 0;              // started and not ended
    int idle = 0;
    int running = 0;
    int maxThreads = 1;
};

BackgroundJobs::BackgroundJobs(QObject& receiver, int threads)
    : shared_(std::make_shared<Shared>()), receiver_(receiver)
{
    shared_->receiver = &receiver;
    shared_->maxThreads = threads < 1 ? 1 : threads;
}

BackgroundJobs::~BackgroundJobs()
{
    const std::lock_guard lock(shared_->mutex);
    shared_->receiver = nullptr;
    shared_->queue.clear();
    shared_->changed.notify_all();
}

void BackgroundJobs::clear()
{
    const std::lock_guard lock(shared_->mutex);
    shared_->queue.clear();
    shared_->changed.notify_all();
}

void BackgroundJobs::post(Job job)
{
    std::unique_lock lock(shared_->mutex);
    shared_->queue.push_back(std::move(job));
    if (shared_->idle > 0 || shared_->threads >= shared_->maxThreads) {
        shared_->changed.notify_one();
        return;
    }
    ++shared_->threads;
    lock.unlock();
    // Detached: nothing joins a thread that may never come back.
    std::shared_ptr<Shared> shared = shared_;
    std::thread([shared] {
        // The window's thread goes first when both want a core: on Linux a
        // thread has a nice value of its own.
        ::setpriority(PRIO_PROCESS, 0, ::getpriority(PRIO_PROCESS, 0) + kNicer);
        std::unique_lock lock(shared->mutex);
        for (;;) {
            ++shared->idle;
            shared->changed.wait(lock, [&] { return !shared->queue.empty() || shared->receiver == nullptr; });
            --shared->idle;
            if (shared->queue.empty())
                break;  // the owner is gone
            Job job = std::move(shared->queue.front());
            shared->queue.pop_front();
            ++shared->running;
            lock.unlock();
            Result result;
            try {
                result = job();
            } catch (...) {
                // A job reports its own failures in its result; one that
                // escapes is dropped rather than ending the program.
            }
            job = nullptr;  // what it held goes on this thread, not under the lock
            lock.lock();
            --shared->running;
            // Posting under the lock: the owner cannot finish going away
            // between the look at the receiver and the post.
            if (result && shared->receiver != nullptr)
                QMetaObject::invokeMethod(shared->receiver, std::move(result), Qt::QueuedConnection);
            shared->changed.notify_all();
        }
        --shared->threads;
        shared->changed.notify_all();
    }).detach();
}

void BackgroundJobs::waitForAll()
{
    {
        std::unique_lock lock(shared_->mutex);
        shared_->changed.wait(lock, [&] { return shared_->queue.empty() && shared_->running == 0; });
    }
    QCoreApplication::sendPostedEvents(&receiver_, QEvent::MetaCall);
}

}  // namespace qel::platform
