#pragma once
// A signal sent to the calling thread `after` the start and then every `every`, whose handler
// does nothing, so that a system call sleeping interruptibly in this thread (ppdev's claim
// while another driver holds the port) returns EINTR instead of sleeping on. The repeat covers
// a signal that lands just before the call goes to sleep. While the alarm lives its signal is
// unblocked in this thread; the signal's previous action and the thread's mask come back when
// it ends, with no signal of its own left pending.
#include <chrono>
#include <csignal>
#include <ctime>

namespace port {

class ThreadAlarm {
public:
    ThreadAlarm(std::chrono::milliseconds after, std::chrono::milliseconds every);
    ~ThreadAlarm();
    ThreadAlarm(const ThreadAlarm&) = delete;
    ThreadAlarm& operator=(const ThreadAlarm&) = delete;

    // False when the system refused a timer; the calls it should bound may then sleep on.
    bool Armed() const { return armed_; }

    static int Signal();

private:
    struct sigaction previous_ {};
    sigset_t previousMask_ {};
    timer_t timer_ {};
    bool armed_ = false;
};

} // namespace port
