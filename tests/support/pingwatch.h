// What a window manager asks of a window: pings (_NET_WM_PING), which a window whose GUI thread is held up leaves
// unanswered until it is free again, and closing.
#ifndef PINGWATCH_H
#define PINGWATCH_H

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct _XDisplay;

// A second client of the X server in $DISPLAY.
class WindowManagerProbe
{
public:
    WindowManagerProbe();
    ~WindowManagerProbe();
    WindowManagerProbe(const WindowManagerProbe &) = delete;
    WindowManagerProbe &operator=(const WindowManagerProbe &) = delete;

    bool ok() const { return display != nullptr; }
    // Sends a ping; true when its answer arrives within `timeoutMs`.
    bool answersPing(unsigned long window, int timeoutMs);
    // What a window manager sends when the user closes a window.
    void close(unsigned long window);

private:
    void send(unsigned long window, unsigned long protocol, long stamp);

    _XDisplay *display = nullptr;
    unsigned long protocols = 0;
    unsigned long ping = 0;
    unsigned long deleteWindow = 0;
    long lastStamp = 1000;
};

// Pings a window over and over on a thread of its own and keeps the longest time a ping waited for its answer.
class PingWatch
{
public:
    // Pings `window` every `periodMs` from now on.
    explicit PingWatch(unsigned long window, int periodMs = 10);
    ~PingWatch();
    PingWatch(const PingWatch &) = delete;
    PingWatch &operator=(const PingWatch &) = delete;

    bool valid() const { return connected; }
    // The longest a ping went unanswered since the start or the last reset, in ms; one still unanswered counts
    // with the time it has waited so far.
    double longestMs() const;
    // How many pings the window has answered since the start or the last reset.
    int answered() const;
    void reset();

private:
    using Clock = std::chrono::steady_clock;
    void run();

    bool connected = false;
    const unsigned long window;
    const int periodMs;
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    double longest = 0;
    int answers = 0;
    bool waiting = false;
    Clock::time_point sent;
    std::thread thread;
};

#endif
