#include "WorkerPool.h"

#include <algorithm>

TWorkerPool::TWorkerPool(std::size_t count, unsigned threads, TWork work)
    : FCount(count), FWork(std::move(work))
{
    const std::size_t started = std::min<std::size_t>(std::max(threads, 1U), count);
    FThreads.reserve(started);
    try {
        for (std::size_t i = 0; i < started; ++i)
            FThreads.push_back(std::make_unique<TThread>([this] { WorkerLoop(); }));
    } catch (...) {
        // The workers already running must not outlive the pool that failed.
        Cancel();
        FThreads.clear();
        throw;
    }
}

TWorkerPool::~TWorkerPool()
{
    Cancel();
    FThreads.clear();   // each thread's destructor waits for it
}

void TWorkerPool::Cancel()
{
    TLockGuard guard(FLock);
    FCancelled = true;
}

bool TWorkerPool::Cancelled() const
{
    TLockGuard guard(FLock);
    return FCancelled;
}

TPoolProgress TWorkerPool::Wait(unsigned timeoutMs)
{
    if (!Finished())
        FFinishedOne.Wait(timeoutMs);
    return Progress();
}

TPoolProgress TWorkerPool::Progress() const
{
    TLockGuard guard(FLock);
    return FProgress;
}

bool TWorkerPool::Finished() const
{
    TLockGuard guard(FLock);
    return FProgress.Done == (FCancelled ? FProgress.Started : FCount);
}

void TWorkerPool::WorkerLoop()
{
    for (;;) {
        std::size_t index;
        {
            TLockGuard guard(FLock);
            if (FCancelled || FProgress.Started == FCount)
                return;
            index = FProgress.Started++;
        }
        bool succeeded = false;
        try {
            succeeded = FWork(index);
        } catch (...) {
            // Work reports its own failures; one that escapes counts as failed.
        }
        {
            TLockGuard guard(FLock);
            ++FProgress.Done;
            if (!succeeded)
                ++FProgress.Failed;
        }
        FFinishedOne.Set();
    }
}
