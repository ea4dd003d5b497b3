#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace rf {

// A mutex that hands itself over in the order it was asked for. The store's lock is one: the engine's
// reply thread writes a burst of devices back to back, and with a plain mutex it could take the lock again
// and again while the interface thread waits to read a page; here the interface thread waits for at most
// the write in progress and those asked for before it.
class TicketMutex {
public:
    void lock();
    void unlock();
    // How many lock() calls have taken their place in the queue so far.
    std::uint64_t Asked() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable turn_;
    std::uint64_t next_ = 0;    // the ticket the next lock() takes
    std::uint64_t serving_ = 0; // the ticket that holds the lock, or may take it
};

} // namespace rf
