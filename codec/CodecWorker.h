// A second thread for the codec, so that a large key frame is deflated on
// both cores: one task at a time, handed over and then waited for. Where
// no thread can be had (a build for another system, or the thread cannot
// be made) the task runs at once on the caller's thread, and the result
// is the same.
#pragma once

class CodecWorker {
public:
    using Task = void (*)(void* context);

    CodecWorker() = default;
    ~CodecWorker();   // ends the thread and waits for it
    CodecWorker(const CodecWorker&) = delete;
    CodecWorker& operator=(const CodecWorker&) = delete;

    // Makes the thread unless it runs already; false when tasks will run on
    // the caller's thread.
    bool Start();
    // Runs the task on the thread (at once here without one); Wait must
    // follow before the next Run and before the context goes.
    void Run(Task task, void* context);
    void Wait();

private:
#ifdef _WIN32
    static unsigned long __stdcall Loop(void* self);

    void* thread_ = nullptr;
    void* ready_ = nullptr;   // a task waits (or the thread is to end)
    void* done_ = nullptr;    // the task is done
    Task task_ = nullptr;
    void* context_ = nullptr;
    bool running_ = false;    // a task was handed to the thread and not waited for
    bool stop_ = false;
#endif
};
