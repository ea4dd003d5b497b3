#pragma once

#include <chrono>

namespace rf {

// Retransmission timeout from measured round trips: smoothed RTT plus four times its variation, doubled
// on every timeout (the rules of RFC 6298), never below a floor of 100 ms.
class CRttEstimator {
public:
    using Duration = std::chrono::nanoseconds;
    static constexpr Duration kFloor = std::chrono::milliseconds(100);
    static constexpr Duration kCeiling = std::chrono::seconds(8);
    static constexpr Duration kInitial = std::chrono::seconds(1);

    // A round trip measured on a packet that was sent only once.
    void Sample(Duration rtt);
    // The timer expired: wait twice as long next time, up to the ceiling.
    void Backoff();
    Duration Rto() const { return rto_; }
    bool Measured() const { return measured_; }
    Duration Smoothed() const { return smoothed_; }

private:
    void Update(Duration rto);

    bool measured_ = false;
    Duration smoothed_{};
    Duration variation_{};
    Duration rto_ = kInitial;
};

} // namespace rf
