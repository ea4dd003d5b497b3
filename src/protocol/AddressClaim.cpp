#include "protocol/AddressClaim.h"

#include "protocol/ReplyAddresses.h"

namespace rf {

bool NeedsProbe(const OnlineEntry& entry, const std::string& senderIp) {
    return !IsDeviceAddress(entry, senderIp) && entry.claimIp != senderIp;
}

ClaimOutcome DecideClaim(const RequestEnd& probeEnd) {
    switch (probeEnd.how) {
    case RequestEnd::How::Answered:
        return ClaimOutcome::Conflict;
    case RequestEnd::How::NoAnswer:
        return ClaimOutcome::Move;
    case RequestEnd::How::Stopped:
        break;
    }
    return ClaimOutcome::None;
}

} // namespace rf
