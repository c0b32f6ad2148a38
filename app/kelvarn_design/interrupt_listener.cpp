#include "interrupt_listener.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace kelvarn::app {

InterruptListener::InterruptListener() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) == 0) {
        blocked_ = true;
        fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    }
}

InterruptListener::~InterruptListener() {
    if (fd_ >= 0) {
        // An interrupt that already asked for a stop must not end the program
        // once it is unblocked: it is read away first.
        signalfd_siginfo info;
        while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        }
        close(fd_);
    }
    if (blocked_) {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigprocmask(SIG_UNBLOCK, &set, nullptr);
    }
}

bool InterruptListener::Interrupted() {
    if (fd_ >= 0 && !interrupted_) {
        signalfd_siginfo info;
        if (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
            interrupted_ = true;
        }
    }
    return interrupted_;
}

}  // namespace kelvarn::app
