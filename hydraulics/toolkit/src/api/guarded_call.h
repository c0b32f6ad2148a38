// No exception crosses the C interface: a failure inside becomes a code.
#pragma once

#include <new>

namespace kvepa2 {

template <typename F>
int guardedCall(int failureCode, F&& f) noexcept {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return 101;
    } catch (...) {
        return failureCode;
    }
}

}  // namespace kvepa2
