// radiofleet-cli against radios that apply what they are told but whose answers are lost: the outcome is
// what the radio now holds, looked for after the last resend, never the lack of an answer.
#include "CliRun.h"
#include "SimRadio.h"

#include <gtest/gtest.h>

namespace rf::test {
namespace {

bool Has(const CliRun& run, const std::string& text) {
    return run.output.find(text) != std::string::npos;
}

TEST(LostAnswerLab, AppliedRequestsWithLostAnswersSucceedAndIgnoredOnesDoNot) {
    // Radios 0-3 lose their answers; radio 3 also refuses everything, so it ignores the request unseen.
    // A restart keeps a radio away for 20 s, longer than the resends of a request.
    Lab lab({.radios = 5, .subnets = 1, .simArgs = {"--lose-answers", "0,1,2,3", "--fail", "3"}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    std::vector<SimRadio> radios;
    for (const std::string& line : lab.Radios()) {
        radios.push_back(SimRadio::Parse(line));
    }
    ASSERT_EQ(radios.size(), 5u);

    CliRun run = RunCli(lab, runDir, "rename " + radios[0].mac + " Lost-Name");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Has(run, radios[0].ip + "  renamed to Lost-Name (its answer was lost)")) << run.output;

    // A reboot whose answer is lost is done when the radio comes back with a smaller up time.
    run = RunCli(lab, runDir, "reboot " + radios[0].mac);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.lines, std::vector<std::string>{radios[0].mac + "  " + radios[0].ip +
                                                  "  restarting (its answer was lost)"})
        << run.output;

    run = RunCli(lab, runDir, "set-ip " + radios[1].mac + " 10.99.77.9 255.255.0.0");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Has(run, "moved to 10.99.77.9 (its answer was lost)")) << run.output;
    EXPECT_EQ(JsonValue(lab.Control("get " + radios[1].mac), "ip"), "10.99.77.9");

    run = RunCli(lab, runDir, "configure " + radios[2].mac + " --name Lost-Vlan --vlan 7,8");
    EXPECT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(run.lines.size(), 2u) << run.output;
    EXPECT_EQ(run.lines[0], "name  " + radios[2].mac + "  " + radios[2].ip +
                                "  renamed to Lost-Vlan (its answer was lost)");
    EXPECT_EQ(run.lines[1], "vlan  " + radios[2].mac + "  " + radios[2].ip +
                                "  VLAN settings changed (its answer was lost)")
        << "looked for after the restart";

    run = RunCli(lab, runDir, "rename " + radios[3].mac + " Never-Set");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(Has(run, radios[3].ip + "  no answer")) << run.output;
    EXPECT_EQ(SimRadio::Parse(lab.Control("get " + radios[3].mac)).name, radios[3].name);

    // A VLAN change on a radio that answers: the tool waits for its restart, so show finds it at once.
    const std::string cli =
        "env XDG_RUNTIME_DIR= TMPDIR=" + ShellQuote(runDir.Path().string()) + " " + ShellQuote(RF_CLI);
    const std::string mac = radios[4].mac;
    const ShellResult script =
        lab.RunInPc("sh -c " + ShellQuote(cli + " configure " + mac + " --vlan 12,34; echo exit=$?; " + cli +
                                          " show " + mac + " --json"));
    EXPECT_TRUE(script.output.find("VLAN settings changed (verified)\nexit=0\n") != std::string::npos)
        << script.output;
    const std::string shown = script.output.substr(script.output.find("exit=0\n") + 7);
    EXPECT_EQ(JsonValue(shown, "mac"), mac) << script.output;
    EXPECT_EQ(JsonValue(shown, "vlan_id"), "12") << script.output;
    EXPECT_EQ(JsonValue(shown, "vlan_id_wlan"), "34") << script.output;

    run = RunCli(lab, runDir, "configure " + mac + " --vlan off --no-wait");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Has(run, "VLAN settings changed (answered; not checked after the restart)")) << run.output;
}

} // namespace
} // namespace rf::test
