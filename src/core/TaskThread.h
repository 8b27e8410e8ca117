#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace plx {

// One thread of its own that runs the tasks given to it one after another, in
// the order given. A task must not throw: it keeps its own failure for the
// giver to read after wait(). Destroying the TaskThread runs what is left
// first.
class TaskThread
{
public:
    TaskThread();
    ~TaskThread();
    TaskThread(const TaskThread&) = delete;
    TaskThread& operator=(const TaskThread&) = delete;

    void post(std::function<void()> task);
    // Returns once every task posted so far has run; what they wrote is then
    // seen by the caller.
    void wait();

private:
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_tasks;
    bool m_running = false;
    bool m_stopping = false;
    std::thread m_thread; // last: started once the members above are ready
};

} // namespace plx
