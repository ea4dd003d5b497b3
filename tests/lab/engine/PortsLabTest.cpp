// The protocol's ports belong to one program per network namespace.
#include "core/PortLock.h"
#include "support/EngineHarness.h"
#include "support/PrivateNetwork.h"
#include "support/Shell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <thread>

namespace rf::test {
namespace {

const std::string kAlreadyRunning =
    "RadioFleet is already running in this network namespace (the UDP ports 9785-9788 are in use)";

class PortsLab : public ::testing::Test {
protected:
    void SetUp() override { ENTER_PRIVATE_NETWORK_OR_SKIP(); }
};

TEST_F(PortsLab, ASecondEngineOrCliInTheNamespaceIsToldThatRadioFleetRunsThere) {
    EngineHarness first({MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    ASSERT_TRUE(first.engine.Start(3, 2000)) << first.engine.StartError();

    EngineHarness second({MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    EXPECT_FALSE(second.engine.Start(3, 2000));
    EXPECT_EQ(second.engine.StartError(), kAlreadyRunning);
    EXPECT_FALSE(second.engine.IsRunning());

    TempDir runDir;
    const ShellResult cli = RunShell("env XDG_RUNTIME_DIR= TMPDIR=" + ShellQuote(runDir.Path().string()) +
                                     " " + ShellQuote(RF_CLI) + " search 2>&1");
    EXPECT_EQ(cli.status, 3);
    EXPECT_EQ(cli.output, "radiofleet-cli: " + kAlreadyRunning + "\n");

    first.engine.Stop();
    EXPECT_TRUE(second.engine.Start(3, 2000))
        << "free again once the first stopped: " << second.engine.StartError();
    second.engine.Stop();
}

TEST_F(PortsLab, TheLockIsPerNamespaceAndFreedWithItsHolder) {
    PortLock here;
    ASSERT_TRUE(here.Acquire()) << here.Error();
    PortLock again;
    EXPECT_FALSE(again.Acquire());
    EXPECT_TRUE(again.HeldElsewhere());
    bool elsewhere = false;
    std::thread([&] {
        PortLock other;
        elsewhere = EnterPrivateNetwork() && other.Acquire();
    }).join();
    EXPECT_TRUE(elsewhere) << "another network namespace has a lock of its own";
    here.Release();
    EXPECT_TRUE(again.Acquire()) << again.Error();
}

TEST_F(PortsLab, APortHeldBySomeoneElseFailsTheStartEvenWithAddressReuse) {
    // Another program that shares addresses willingly still cannot share ours.
    auto squatter = UdpSocket::Make({kReplyPort, false, 0, 0, INADDR_ANY, true});
    ASSERT_TRUE(squatter);
    EngineHarness h({MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    EXPECT_FALSE(h.engine.Start(3, 2000));
    EXPECT_NE(h.engine.StartError().find("cannot open the UDP ports 9785-9788"), std::string::npos)
        << h.engine.StartError();
    EXPECT_NE(h.engine.StartError().find("port 9788: bind: Address already in use"), std::string::npos)
        << h.engine.StartError();
    squatter->Close();
    EXPECT_TRUE(h.engine.Start(3, 2000)) << "the failed start left nothing held: " << h.engine.StartError();
    h.engine.Stop();
}

TEST_F(PortsLab, ReceiveBuffersAreForcedPastTheSystemCapWhenPermitted) {
    // Root may force a buffer past net.core.rmem_max; the size obtained is what the system reports.
    const int asked = 64 << 20; // far beyond any default cap
    auto socket = UdpSocket::Make({0, false, 0, asked});
    ASSERT_TRUE(socket);
    EXPECT_EQ(socket->ReceiveBufferSize(), 2 * asked);

    EngineHarness h({MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    ASSERT_TRUE(h.engine.Start(3, 2000));
    EXPECT_EQ(h.engine.ReplyReceiveBufferSize(), 2 * CNetManagement::kReplyBufferSize);
    h.engine.Stop();
}

} // namespace
} // namespace rf::test
