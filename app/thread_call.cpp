#include "app/thread_call.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

namespace {

class ThreadCallQueue;
std::atomic<ThreadCallQueue*> s_pQueue{nullptr};

// Lives on the application's thread, made there when the application starts:
// its connection (the only thing Qt reads when the queued signal arrives) is
// set up on that thread, and the calls themselves pass through the mutex.
class ThreadCallQueue : public QObject
{
    Q_OBJECT

public:
    explicit ThreadCallQueue(QObject* p_pParent) : QObject(p_pParent)
    {
        connect(this, &ThreadCallQueue::callPending, this, &ThreadCallQueue::runPending, Qt::QueuedConnection);
    }
    // Calls posted once the application is gone take Qt's queue.
    ~ThreadCallQueue() override { s_pQueue.store(nullptr); }

    void post(QObject* p_pContext, std::function<void()> p_Call)
    {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Calls.push_back(Entry{QPointer<QObject>(p_pContext), std::move(p_Call)});
        }
        emit callPending(QPrivateSignal());
    }

signals:
    void callPending(QPrivateSignal);

private:
    struct Entry
    {
        QPointer<QObject> Context;
        std::function<void()> Call;
    };

    // One call per signal, so the calls keep their place among the other
    // events posted to the thread.
    void runPending()
    {
        Entry entry;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            if (m_Calls.empty())
                return;
            entry = std::move(m_Calls.front());
            m_Calls.pop_front();
        }
        if (entry.Context)
            entry.Call();
    }

    std::mutex m_Mutex;
    std::deque<Entry> m_Calls;
};

void MakeQueue()
{
    s_pQueue.store(new ThreadCallQueue(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(MakeQueue)

void PostToThreadOf(QObject* p_pContext, std::function<void()> p_Call)
{
    if (!p_pContext || !p_Call)
        return;
    ThreadCallQueue* pQueue = s_pQueue.load();
    if (pQueue && pQueue->thread() == p_pContext->thread()) {
        pQueue->post(p_pContext, std::move(p_Call));
        return;
    }
    // A context on a thread of its own: Qt's queue of that thread.
    QMetaObject::invokeMethod(p_pContext, std::move(p_Call), Qt::QueuedConnection);
}

void CallOnThreadOf(QObject* p_pContext, std::function<void()> p_Call)
{
    if (!p_pContext || !p_Call)
        return;
    if (QThread::currentThread() == p_pContext->thread()) {
        p_Call();
        return;
    }
    PostToThreadOf(p_pContext, std::move(p_Call));
}

#include "thread_call.moc"
