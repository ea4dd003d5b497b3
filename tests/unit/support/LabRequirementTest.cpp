#include "support/LabRequirement.h"
#include "support/Shell.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace rf::test {
namespace {

// Runs one test of the probe with RF_REQUIRE_LAB as given (unset for nullptr).
ShellResult RunProbe(const std::string& test, const char* requireLab) {
    const std::string environment = requireLab == nullptr
                                        ? "env -u RF_REQUIRE_LAB "
                                        : "env RF_REQUIRE_LAB=" + ShellQuote(requireLab) + " ";
    return RunShell(environment + ShellQuote(RF_LAB_PROBE) + " --gtest_filter=Probe." + test + " 2>&1");
}

TEST(LabRequirement, WithoutTheVariableAMissingLabSkipsWithItsReason) {
    for (const char* value : {static_cast<const char*>(nullptr), "", "0"}) {
        const std::string shown = value == nullptr ? "unset" : value;
        const ShellResult r = RunProbe("LabThatNeverComesUp", value);
        EXPECT_EQ(r.status, 0) << shown << "\n" << r.output;
        EXPECT_NE(r.output.find("[  SKIPPED ] Probe.LabThatNeverComesUp"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("this lab never comes up"), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("went on without its lab"), std::string::npos) << r.output;
    }
}

TEST(LabRequirement, WithTheVariableAMissingLabFailsWithItsReason) {
    for (const char* value : {"1", "yes"}) {
        const ShellResult r = RunProbe("LabThatNeverComesUp", value);
        EXPECT_EQ(r.status, 1) << value << "\n" << r.output;
        EXPECT_NE(r.output.find("[  FAILED  ] Probe.LabThatNeverComesUp"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("this lab never comes up"), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("went on without its lab"), std::string::npos) << r.output;
    }
}

TEST(LabRequirement, AnAvailableLabRunsTheTestEitherWay) {
    for (const char* value : {static_cast<const char*>(nullptr), "1"}) {
        const ShellResult r = RunProbe("ToolThatIsThere", value);
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("[       OK ] Probe.ToolThatIsThere"), std::string::npos) << r.output;
    }
}

} // namespace
} // namespace rf::test
