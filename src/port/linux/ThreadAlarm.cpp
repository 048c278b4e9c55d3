#include "ThreadAlarm.h"

#include <pthread.h>
#include <unistd.h>

namespace port {

namespace {
void Ignore(int) {}

timespec ToTimespec(std::chrono::milliseconds ms)
{
    return {time_t(ms.count() / 1000), long(ms.count() % 1000) * 1000000L};
}
} // namespace

// A real-time signal that nothing else in the program uses.
int ThreadAlarm::Signal() { return SIGRTMIN + 4; }

ThreadAlarm::ThreadAlarm(std::chrono::milliseconds after, std::chrono::milliseconds every)
{
    struct sigaction action {};
    action.sa_handler = Ignore;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: the sleeping call must return
    sigaction(Signal(), &action, &previous_);
    sigset_t mine;
    sigemptyset(&mine);
    sigaddset(&mine, Signal());
    pthread_sigmask(SIG_UNBLOCK, &mine, &previousMask_);

    sigevent event {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = Signal();
    event._sigev_un._tid = gettid();
    if (timer_create(CLOCK_MONOTONIC, &event, &timer_) != 0)
        return;
    itimerspec when {ToTimespec(every), ToTimespec(after)};
    if (timer_settime(timer_, 0, &when, nullptr) != 0) {
        timer_delete(timer_);
        return;
    }
    armed_ = true;
}

ThreadAlarm::~ThreadAlarm()
{
    // A signal raised before the timer is gone reaches this unblocked thread, and does nothing,
    // before timer_delete returns; so nothing of ours is pending when the old action is back.
    if (armed_)
        timer_delete(timer_);
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
    sigaction(Signal(), &previous_, nullptr);
}

} // namespace port
