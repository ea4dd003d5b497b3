#include "relayd/RttEstimator.h"

#include <algorithm>

namespace rf {

void CRttEstimator::Sample(Duration rtt) {
    rtt = std::max(rtt, Duration::zero());
    if (!measured_) {
        measured_ = true;
        smoothed_ = rtt;
        variation_ = rtt / 2;
    } else {
        const Duration delta = smoothed_ > rtt ? smoothed_ - rtt : rtt - smoothed_;
        variation_ = (variation_ * 3 + delta) / 4;
        smoothed_ = (smoothed_ * 7 + rtt) / 8;
    }
    Update(smoothed_ + variation_ * 4);
}

void CRttEstimator::Backoff() {
    Update(rto_ * 2);
}

void CRttEstimator::Update(Duration rto) {
    rto_ = std::clamp(rto, kFloor, kCeiling);
}

} // namespace rf
