#include "pingwatch.h"

#include <X11/Xlib.h>

#include <sys/select.h>

#include <algorithm>

WindowManagerProbe::WindowManagerProbe()
    : display(XOpenDisplay(nullptr))
{
    if (!display)
        return;
    // Qt sends its answer to the root window, seen only with StructureNotify selected there.
    XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask);
    protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    ping = XInternAtom(display, "_NET_WM_PING", False);
    deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
}

WindowManagerProbe::~WindowManagerProbe()
{
    if (display)
        XCloseDisplay(display);
}

bool WindowManagerProbe::answersPing(unsigned long window, int timeoutMs)
{
    const long stamp = ++lastStamp;
    send(window, ping, stamp);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == ping
                && event.xclient.data.l[1] == stamp)
                return true;
        }
        const int fd = ConnectionNumber(display);
        fd_set read;
        FD_ZERO(&read);
        FD_SET(fd, &read);
        timeval wait { 0, 5000 };
        select(fd + 1, &read, nullptr, nullptr, &wait);
    }
    return false;
}

void WindowManagerProbe::close(unsigned long window)
{
    send(window, deleteWindow, CurrentTime);
}

void WindowManagerProbe::send(unsigned long window, unsigned long protocol, long stamp)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(protocol);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = long(window);
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

PingWatch::PingWatch(unsigned long window, int periodMs)
    : window(window)
    , periodMs(periodMs)
{
    connected = WindowManagerProbe().ok();
    if (connected)
        thread = std::thread([this] { run(); });
}

PingWatch::~PingWatch()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}

double PingWatch::longestMs() const
{
    std::lock_guard<std::mutex> lock(mutex);
    double result = longest;
    if (waiting)
        result = std::max(result, std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
    return result;
}

int PingWatch::answered() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return answers;
}

void PingWatch::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    longest = 0;
    answers = 0;
    if (waiting)
        sent = Clock::now();
}

void PingWatch::run()
{
    WindowManagerProbe probe;
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        waiting = true;
        sent = Clock::now();
        // A window held up answers the latest ping once it is free: keep pinging until one is answered.
        bool answer = false;
        while (!answer && !stopping) {
            lock.unlock();
            answer = probe.answersPing(window, 50);
            lock.lock();
        }
        if (answer) {
            waiting = false;
            longest = std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
            ++answers;
        }
        wake.wait_for(lock, std::chrono::milliseconds(periodMs), [this] { return stopping; });
    }
}
