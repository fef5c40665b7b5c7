// The worker pool's threads, lock and signal with POSIX threads.
#include <pthread.h>
#include <time.h>

#include <cerrno>
#include <stdexcept>

#include "WorkerPool.h"

struct TLock::TImpl {
    pthread_mutex_t Mutex = PTHREAD_MUTEX_INITIALIZER;
};

TLock::TLock() : FImpl(std::make_unique<TImpl>()) {}

TLock::~TLock()
{
    pthread_mutex_destroy(&FImpl->Mutex);
}

void TLock::Enter()
{
    pthread_mutex_lock(&FImpl->Mutex);
}

void TLock::Leave()
{
    pthread_mutex_unlock(&FImpl->Mutex);
}

struct TSignal::TImpl {
    pthread_mutex_t Mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t Condition = PTHREAD_COND_INITIALIZER;
    bool IsSet = false;
};

TSignal::TSignal() : FImpl(std::make_unique<TImpl>()) {}

TSignal::~TSignal()
{
    pthread_cond_destroy(&FImpl->Condition);
    pthread_mutex_destroy(&FImpl->Mutex);
}

void TSignal::Set()
{
    pthread_mutex_lock(&FImpl->Mutex);
    FImpl->IsSet = true;
    pthread_cond_signal(&FImpl->Condition);
    pthread_mutex_unlock(&FImpl->Mutex);
}

bool TSignal::Wait(unsigned timeoutMs)
{
    timespec until{};
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += static_cast<time_t>(timeoutMs / 1000);
    until.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        ++until.tv_sec;
        until.tv_nsec -= 1000000000L;
    }
    pthread_mutex_lock(&FImpl->Mutex);
    int result = 0;
    while (!FImpl->IsSet && result != ETIMEDOUT)
        result = pthread_cond_timedwait(&FImpl->Condition, &FImpl->Mutex, &until);
    const bool wasSet = FImpl->IsSet;
    FImpl->IsSet = false;
    pthread_mutex_unlock(&FImpl->Mutex);
    return wasSet;
}

struct TThread::TImpl {
    std::function<void()> Body;
    pthread_t Thread{};

    static void* Start(void* impl)
    {
        static_cast<TImpl*>(impl)->Body();
        return nullptr;
    }
};

TThread::TThread(std::function<void()> body) : FImpl(std::make_unique<TImpl>())
{
    FImpl->Body = std::move(body);
    if (pthread_create(&FImpl->Thread, nullptr, &TImpl::Start, FImpl.get()) != 0)
        throw std::runtime_error("Cannot start a worker thread");
}

TThread::~TThread()
{
    pthread_join(FImpl->Thread, nullptr);
}
