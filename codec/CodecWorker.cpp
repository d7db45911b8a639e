#include "CodecWorker.h"

#ifdef _WIN32
#include <windows.h>

CodecWorker::~CodecWorker() {
    Wait();
    if (thread_) {
        stop_ = true;
        ::SetEvent(ready_);
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
    }
    if (ready_) ::CloseHandle(ready_);
    if (done_) ::CloseHandle(done_);
}

bool CodecWorker::Start() {
    if (thread_) return true;
    if (!ready_) ready_ = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!done_) done_ = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!ready_ || !done_) return false;
    thread_ = ::CreateThread(nullptr, 0, Loop, this, 0, nullptr);
    return thread_ != nullptr;
}

// The events order the memory: what the caller wrote before Run is seen by
// the task, and what the task wrote is seen after Wait.
unsigned long __stdcall CodecWorker::Loop(void* self) {
    auto* worker = static_cast<CodecWorker*>(self);
    for (;;) {
        ::WaitForSingleObject(worker->ready_, INFINITE);
        if (worker->stop_) return 0;
        worker->task_(worker->context_);
        ::SetEvent(worker->done_);
    }
}

void CodecWorker::Run(Task task, void* context) {
    if (!thread_) {
        task(context);
        return;
    }
    task_ = task;
    context_ = context;
    running_ = true;
    // The key frame's other half is as urgent as the caller's.
    ::SetThreadPriority(thread_, ::GetThreadPriority(::GetCurrentThread()));
    ::SetEvent(ready_);
}

void CodecWorker::Wait() {
    if (!running_) return;
    ::WaitForSingleObject(done_, INFINITE);
    running_ = false;
}

#else

CodecWorker::~CodecWorker() = default;
bool CodecWorker::Start() { return false; }
void CodecWorker::Run(Task task, void* context) { task(context); }
void CodecWorker::Wait() {}

#endif
