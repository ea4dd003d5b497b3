#pragma once

#include "operations/BatchPlan.h"
#include "operations/OperationCatalogue.h"
#include "operations/SelectedDevice.h"

#include <vector>

namespace rf {

class CSqlManagement;

// What sets the reboot page and the restore page apart: their texts, the request they send and the
// searches of their wait.
struct RestartPageSetup {
    int pageId = 0;
    const char* objectName = "";
    const OperationEntry* operation = nullptr; // names the button and the summary line
    const char* confirmKey = "";               // the question before anything is sent
    int waitSearches = 0;                      // searches near the end of the one-minute wait
    BatchPlan (*plan)(CSqlManagement& store, const std::vector<SelectedDevice>& devices) = nullptr;
    const char* confirmSeveralKey =
        nullptr;                  // the question for several devices, %1 their number (if it differs)
    bool cancelByDefault = false; // Enter answers Cancel: what the request does cannot be undone
};

} // namespace rf
