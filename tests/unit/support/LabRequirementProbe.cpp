// One lab test whose lab is never there, for LabRequirementTest to run with and without RF_REQUIRE_LAB.
#include "support/LabRequirement.h"

#include <string>

namespace {

struct MissingLab {
    bool Ok() const { return false; }
    std::string Reason() const { return "this lab never comes up"; }
};

TEST(Probe, LabThatNeverComesUp) {
    SKIP_WITHOUT_LAB(MissingLab{});
    ADD_FAILURE() << "went on without its lab";
}

TEST(Probe, ToolThatIsThere) {
    bool checked = false;
    SKIP_LAB_UNLESS((checked = true), "not shown");
    EXPECT_TRUE(checked) << "an available lab lets the test go on";
}

} // namespace
