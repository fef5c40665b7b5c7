// The worker pool's threads, lock and signal with the functions of Windows
// NT 4.0: the x86 programs link with a runtime that has no C++ threads.
#include <windows.h>
#include <process.h>

#include <stdexcept>

#include "WorkerPool.h"

struct TLock::TImpl {
    CRITICAL_SECTION Section;
};

TLock::TLock() : FImpl(std::make_unique<TImpl>())
{
    InitializeCriticalSection(&FImpl->Section);
}

TLock::~TLock()
{
    DeleteCriticalSection(&FImpl->Section);
}

void TLock::Enter()
{
    EnterCriticalSection(&FImpl->Section);
}

void TLock::Leave()
{
    LeaveCriticalSection(&FImpl->Section);
}

struct TSignal::TImpl {
    HANDLE Event = nullptr;
};

TSignal::TSignal() : FImpl(std::make_unique<TImpl>())
{
    FImpl->Event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!FImpl->Event)
        throw std::runtime_error("Cannot create an event for the worker threads");
}

TSignal::~TSignal()
{
    CloseHandle(FImpl->Event);
}

void TSignal::Set()
{
    SetEvent(FImpl->Event);
}

bool TSignal::Wait(unsigned timeoutMs)
{
    return WaitForSingleObject(FImpl->Event, timeoutMs) == WAIT_OBJECT_0;
}

struct TThread::TImpl {
    std::function<void()> Body;
    HANDLE Handle = nullptr;

    // The runtime's own start, so that its per-thread data is set up and freed.
    static unsigned __stdcall Start(void* impl)
    {
        static_cast<TImpl*>(impl)->Body();
        return 0;
    }
};

TThread::TThread(std::function<void()> body) : FImpl(std::make_unique<TImpl>())
{
    FImpl->Body = std::move(body);
    const uintptr_t handle = _beginthreadex(nullptr, 0, &TImpl::Start, FImpl.get(), 0, nullptr);
    if (handle == 0)
        throw std::runtime_error("Cannot start a worker thread");
    FImpl->Handle = reinterpret_cast<HANDLE>(handle);
}

TThread::~TThread()
{
    WaitForSingleObject(FImpl->Handle, INFINITE);
    CloseHandle(FImpl->Handle);
}
