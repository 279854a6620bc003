#include "device/mouselink.h"

#include "device/devicecontext.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct MouseLink::Request
{
    quint64 id;
    quint64 session;
    QString kind;
    Job job;
    bool exclusive;
    AtQuit atQuit;
};

// Lives as long as the thread does: a thread left behind in a hanging library call still finds it after the link
// itself is gone.
struct MouseLink::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable done;
    std::deque<Request> queue;
    quint64 nextId = 1;
    quint64 session = 0;
    bool running = false;
    std::chrono::steady_clock::time_point runningSince;
    bool exclusiveRunning = false;
    bool stopping = false;
    bool threadEnded = false;
    MouseLink *owner = nullptr;   // null once the link stops: results are dropped
    std::thread thread;
};

MouseLink::MouseLink(DeviceContext &device, Threading threading, QObject *parent)
    : QObject(parent)
    , device(device)
    , threading(threading)
    , shared(std::make_shared<Shared>())
{
    qRegisterMetaType<MouseLink::Failure>();
    connect(this, &MouseLink::jobEnded, this, &MouseLink::deliver, Qt::QueuedConnection);
    device.abandoned = false;
    device.session = 0;
    shared->owner = this;
    if (threading == Threading::CallerThread)
        return;
    shared->thread = std::thread([state = shared, &device] {
        std::unique_lock<std::mutex> lock(state->mutex);
        for (;;) {
            state->wake.wait(lock, [&state] { return state->stopping || !state->queue.empty(); });
            // Once stopping, the queue holds only what is still to be sent.
            if (state->queue.empty())
                break;
            Request request = std::move(state->queue.front());
            state->queue.pop_front();
            state->exclusiveRunning = request.exclusive;
            state->running = true;
            state->runningSince = std::chrono::steady_clock::now();
            device.jobSession = request.session;
            device.jobExclusive = request.exclusive;
            lock.unlock();
            const QVariant result = request.job(device);
            lock.lock();
            state->running = false;
            state->exclusiveRunning = false;
            if (MouseLink *owner = state->owner)
                emit owner->jobEnded(request.id, request.session, request.exclusive, result, QPrivateSignal());
        }
        state->threadEnded = true;
        state->done.notify_all();
    });
}

MouseLink::~MouseLink()
{
    shutdown(2000);
}

quint64 MouseLink::request(Job job, const QString &kind, AtQuit atQuit)
{
    return enqueue(std::move(job), kind, false, atQuit);
}

quint64 MouseLink::enqueue(Job job, const QString &kind, bool exclusive, AtQuit atQuit)
{
    std::unique_lock<std::mutex> lock(shared->mutex);
    const quint64 id = shared->nextId++;
    if (shared->stopping) {
        lock.unlock();
        fail(id, Failure::Stopped);
        return id;
    }
    if (threading == Threading::CallerThread) {
        const quint64 session = shared->session;
        device.jobSession = session;
        device.jobExclusive = exclusive;
        lock.unlock();
        const QVariant result = job(device);
        emit jobEnded(id, session, exclusive, result, QPrivateSignal());
        return id;
    }
    const bool behindSlowCall = shared->running
        && std::chrono::steady_clock::now() - shared->runningSince >= std::chrono::milliseconds(SlowCallMs);
    if (!kind.isEmpty() && behindSlowCall) {
        for (auto it = shared->queue.begin(); it != shared->queue.end();) {
            if (it->kind == kind && !it->exclusive) {
                fail(it->id, Failure::Replaced);
                it = shared->queue.erase(it);
            } else {
                ++it;
            }
        }
    }
    shared->queue.push_back({ id, shared->session, kind, std::move(job), exclusive, atQuit });
    shared->wake.notify_one();
    return id;
}

quint64 MouseLink::runExclusive(QObject *context, Job job, std::function<void(const QVariant &)> done,
                                std::function<void(Failure)> failed)
{
    // One thread runs every job, so an exclusive one only has to be marked: nothing else can start meanwhile.
    const quint64 id = enqueue(std::move(job), QString(), true, AtQuit::Dropped);
    callbacks.insert(id, { context, std::move(done), std::move(failed) });
    return id;
}

quint64 MouseLink::ask(QObject *context, Job job, std::function<void(const QVariant &)> done,
                       std::function<void(Failure)> failed, const QString &kind)
{
    // Known before the job can end: in CallerThread mode it has already run when request() returns, but its
    // result is delivered later, from the event loop.
    const quint64 id = request(std::move(job), kind);
    callbacks.insert(id, { context, std::move(done), std::move(failed) });
    return id;
}

bool MouseLink::exclusiveRunning() const
{
    std::lock_guard<std::mutex> lock(shared->mutex);
    return shared->exclusiveRunning;
}

bool MouseLink::withdraw(quint64 id)
{
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        const auto waiting = std::find_if(shared->queue.begin(), shared->queue.end(),
                                          [id](const Request &request) { return request.id == id; });
        if (waiting == shared->queue.end())
            return false;
        shared->queue.erase(waiting);
    }
    fail(id, Failure::Stopped);
    return true;
}

void MouseLink::cancelSession()
{
    std::deque<Request> dropped;
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        device.session = ++shared->session;
        dropped.swap(shared->queue);
    }
    for (const Request &request : dropped)
        fail(request.id, Failure::NoMouse);
    emit sessionChanged();
}

bool MouseLink::shutdown(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (!shared->owner)
        return true;
    shared->owner = nullptr;
    shared->stopping = true;
    std::deque<Request> toSend;
    for (Request &waiting : shared->queue) {
        if (waiting.atQuit == AtQuit::Sent && shared->thread.joinable())
            toSend.push_back(std::move(waiting));
        else
            fail(waiting.id, Failure::Stopped);
    }
    shared->queue.swap(toSend);
    if (!shared->thread.joinable())
        return true;
    device.abandoned = true;
    shared->wake.notify_one();
    const bool ended
        = shared->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return shared->threadEnded; });
    if (!ended) {
        // Nothing more starts after the call that hangs.
        shared->queue.clear();
        lock.unlock();
        shared->thread.detach();
        return false;
    }
    lock.unlock();
    shared->thread.join();
    // Nothing runs any more; a later link starts with queries that retry again.
    device.abandoned = false;
    return true;
}

void MouseLink::deliver(quint64 id, quint64 session, bool exclusive, const QVariant &result)
{
    if (session != shared->session && !exclusive)
        finish(id, nullptr, Failure::NoMouse);
    else if (!result.isValid())
        finish(id, nullptr, Failure::NoAnswer);
    else
        finish(id, &result, Failure::NoAnswer);
}

void MouseLink::fail(quint64 id, Failure reason)
{
    QMetaObject::invokeMethod(
        this, [this, id, reason] { finish(id, nullptr, reason); }, Qt::QueuedConnection);
}

void MouseLink::finish(quint64 id, const QVariant *result, Failure reason)
{
    const Callbacks handlers = callbacks.take(id);
    if (result)
        emit answered(id, *result);
    else
        emit failed(id, reason);
    if (!handlers.context)
        return;
    if (result && handlers.done)
        handlers.done(*result);
    else if (!result && handlers.failed)
        handlers.failed(reason);
}
