#include "operations/FreshSearch.h"

#include "protocol/NetManagement.h"

namespace rf {

void StartFreshSearch(CNetManagement& engine) {
    engine.SendLeaveToAnnounced();
    engine.ForgetAnnounced();
    engine.PurgeUnseenDevices();
    engine.SearchDevices();
}

SearchCycle::Heard HeardSoFar(const CNetManagement& engine) {
    return {engine.OnlineCount(), engine.AnswersHeard()};
}

} // namespace rf
