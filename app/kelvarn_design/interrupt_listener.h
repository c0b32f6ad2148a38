// Ctrl-C as a stop request: SIGINT is blocked while the listener lives and read
// from a signal descriptor, so no handler and no global flag are needed.
#pragma once

namespace kelvarn::app {

class InterruptListener {
  public:
    InterruptListener();
    ~InterruptListener();
    InterruptListener(const InterruptListener&) = delete;
    InterruptListener& operator=(const InterruptListener&) = delete;

    // True once an interrupt has arrived (it stays true).
    bool Interrupted();

  private:
    int fd_ = -1;
    bool interrupted_ = false;
    bool blocked_ = false;
};

}  // namespace kelvarn::app
