#pragma once

// What a lab test does when its lab cannot come up here (no root, no network namespace, a missing tool):
// it skips with the reason, unless RF_REQUIRE_LAB is set to anything but "" or "0" (scripts/test sets it),
// in which case it fails, so that a run in which the lab never came up cannot pass.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string_view>

namespace rf::test {

inline bool LabRequired() {
    const char* value = std::getenv("RF_REQUIRE_LAB");
    return value != nullptr && std::string_view(value) != "" && std::string_view(value) != "0";
}

} // namespace rf::test

// Skips the test (or fails it when the lab is required) unless ok holds; reason says what is missing.
#define SKIP_LAB_UNLESS(ok, reason)                                                                          \
    do {                                                                                                     \
        if (!(ok)) {                                                                                         \
            if (::rf::test::LabRequired()) {                                                                 \
                GTEST_FAIL() << "RF_REQUIRE_LAB is set, but the lab is not available: " << (reason);         \
            }                                                                                                \
            GTEST_SKIP() << (reason);                                                                        \
        }                                                                                                    \
    } while (false)

// The same for anything with Ok() and Reason(): a Lab, a NetNamespace.
#define SKIP_WITHOUT_LAB(lab) SKIP_LAB_UNLESS((lab).Ok(), (lab).Reason())
