// One thread that lives as long as the program, for the OpenCV work of the frame threads.
#include "pipeline/cv_host_thread.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace {

struct CvHost
{
    std::mutex TurnMutex; // one caller at a time
    std::mutex Mutex;
    std::condition_variable Changed;
    const std::function<void()>* Work = nullptr; // set by the caller, cleared by the thread when done
    std::exception_ptr Error;
    std::thread::id Id;
};

void Serve(CvHost* p_pHost)
{
    std::unique_lock<std::mutex> lock(p_pHost->Mutex);
    for (;;) {
        p_pHost->Changed.wait(lock, [p_pHost] { return p_pHost->Work != nullptr; });
        const std::function<void()>* pWork = p_pHost->Work;
        lock.unlock();
        std::exception_ptr error;
        try {
            (*pWork)();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        p_pHost->Error = error;
        p_pHost->Work = nullptr;
        p_pHost->Changed.notify_all();
    }
}

CvHost& Host()
{
    // Never destroyed and never joined: frame threads may still call in while the program's statics go.
    static CvHost* s_pHost = [] {
        auto* pHost = new CvHost;
        std::thread thread(Serve, pHost);
        pHost->Id = thread.get_id();
        thread.detach();
        return pHost;
    }();
    return *s_pHost;
}

} // namespace

void RunOnCvHostThread(const std::function<void()>& p_Work)
{
    CvHost& host = Host();
    if (std::this_thread::get_id() == host.Id) {
        p_Work();
        return;
    }
    std::lock_guard<std::mutex> turn(host.TurnMutex);
    std::unique_lock<std::mutex> lock(host.Mutex);
    host.Work = &p_Work;
    host.Changed.notify_all();
    host.Changed.wait(lock, [&host] { return host.Work == nullptr; });
    const std::exception_ptr error = std::exchange(host.Error, nullptr);
    lock.unlock();
    if (error)
        std::rethrow_exception(error);
}
