#pragma once
// Worker threads that read several targets at once, and the lock that
// guards what they share. The pool's logic is platform-free; the threads,
// the lock and the wake-up signal are one thin file per platform
// (WorkerThreadsWin.cpp with NT 4.0's own functions, posix/WorkerThreadsPosix.cpp).
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class TLock {
public:
    TLock();
    ~TLock();
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;
    void Enter();
    void Leave();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

class TLockGuard {
public:
    explicit TLockGuard(TLock& lock) : FLock(lock) { FLock.Enter(); }
    ~TLockGuard() { FLock.Leave(); }
    TLockGuard(const TLockGuard&) = delete;
    TLockGuard& operator=(const TLockGuard&) = delete;

private:
    TLock& FLock;
};

// An automatic-reset signal: Set wakes one Wait (or the next one).
class TSignal {
public:
    TSignal();
    ~TSignal();
    TSignal(const TSignal&) = delete;
    TSignal& operator=(const TSignal&) = delete;
    void Set();
    // False when TimeoutMs passed without a Set.
    bool Wait(unsigned timeoutMs);

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// One thread running Body; the destructor waits for it to end.
class TThread {
public:
    explicit TThread(std::function<void()> body);
    ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

struct TPoolProgress {
    std::size_t Done = 0;     // items finished
    std::size_t Failed = 0;   // of them, those whose work returned false
    std::size_t Started = 0;
};

// Count items, handed out in index order to at most Threads workers; each
// item's Work runs on one worker and returns false when it failed. Work
// keeps its result where the caller finds it by index, so the results come
// back in the order asked for whatever order they finish in.
class TWorkerPool {
public:
    using TWork = std::function<bool(std::size_t index)>;
    // Threads: 1 or more; the workers start at once.
    TWorkerPool(std::size_t count, unsigned threads, TWork work);
    // Cancels, then waits for the items in flight.
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    // No item starts after this; those in flight run to their end.
    void Cancel();
    bool Cancelled() const;
    // Waits up to TimeoutMs for the next item to finish; the progress then.
    TPoolProgress Wait(unsigned timeoutMs);
    TPoolProgress Progress() const;
    // Every item done, or cancelled with none in flight.
    bool Finished() const;

private:
    void WorkerLoop();

    const std::size_t FCount;
    TWork FWork;
    mutable TLock FLock;
    TSignal FFinishedOne;
    TPoolProgress FProgress;
    bool FCancelled = false;
    std::vector<std::unique_ptr<TThread>> FThreads;
};
