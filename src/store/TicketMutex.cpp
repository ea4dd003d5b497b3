#include "store/TicketMutex.h"

namespace rf {

void TicketMutex::lock() {
    std::unique_lock guard(mutex_);
    const std::uint64_t ticket = next_++;
    turn_.wait(guard, [&] { return serving_ == ticket; });
}

void TicketMutex::unlock() {
    {
        std::lock_guard guard(mutex_);
        ++serving_;
    }
    turn_.notify_all();
}

std::uint64_t TicketMutex::Asked() const {
    std::lock_guard guard(mutex_);
    return next_;
}

} // namespace rf
