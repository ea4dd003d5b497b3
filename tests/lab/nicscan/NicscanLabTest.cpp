#include "nicscan/Nicscan.h"
#include "support/NetNamespace.h"
#include "support/Shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace rf {
namespace {

struct DumpedNode {
    std::string usable, mac, description, name, count, addresses;
};

std::vector<DumpedNode> ParseDump(const std::string& output) {
    std::vector<DumpedNode> nodes;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, '|')) {
            fields.push_back(field);
        }
        fields.resize(6);
        nodes.push_back({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
    }
    return nodes;
}

class NicscanLab : public ::testing::Test {
protected:
    NicscanLab() : ns_("rftest-nic-" + std::to_string(::getpid())) {}

    void SetUp() override { SKIP_WITHOUT_LAB(ns_); }

    void Ip(const std::string& args) {
        const auto r = ns_.Run("ip " + args);
        ASSERT_EQ(r.status, 0) << "ip " << args << ": " << r.output;
    }

    std::vector<DumpedNode> Dump() {
        const auto r = ns_.Run(std::string(NICSCAN_DUMP) + " " + RF_BUNDLE_DIR + kNicscanLibraryName);
        EXPECT_EQ(r.status, 0) << r.output;
        return ParseDump(r.output);
    }

    std::string SysfsMac(const std::string& interface) {
        auto r = ns_.Run("cat /sys/class/net/" + interface + "/address");
        return r.output.substr(0, 17);
    }

    test::NetNamespace ns_;
};

TEST_F(NicscanLab, ListsOnlyUpInterfacesWithIpv4AndAllTheirAddresses) {
    Ip("link add rfa type veth peer name rfb");
    Ip("addr add 10.77.1.1/24 dev rfa");
    Ip("addr add 172.20.5.9/16 dev rfa");
    Ip("link set rfa up");
    Ip("link set rfb up"); // up, but without an IPv4 address
    Ip("link add rfc type veth peer name rfd");
    Ip("addr add 10.78.0.1/24 dev rfc"); // has an address, but stays down

    const auto nodes = Dump();
    ASSERT_EQ(nodes.size(), 1u) << "loopback, the down interface and the one without IPv4 must be left out";
    const DumpedNode& node = nodes[0];
    EXPECT_EQ(node.usable, "1");
    EXPECT_EQ(node.name, "rfa");
    EXPECT_EQ(node.description, "rfa (veth)");
    EXPECT_EQ(node.mac, SysfsMac("rfa"));
    EXPECT_EQ(node.count, "2");
    EXPECT_EQ(node.addresses, "10.77.1.1/255.255.255.0,172.20.5.9/255.255.0.0");
}

TEST_F(NicscanLab, ListsEveryUsableInterfaceAndFollowsInterfaceChanges) {
    Ip("link add rfa type veth peer name rfb");
    Ip("addr add 192.168.60.2/24 dev rfa");
    Ip("addr add 192.168.61.2/30 dev rfb");
    Ip("link set rfa up");
    Ip("link set rfb up");
    auto nodes = Dump();
    ASSERT_EQ(nodes.size(), 2u);
    std::vector<std::string> seen{nodes[0].name + " " + nodes[0].addresses,
                                  nodes[1].name + " " + nodes[1].addresses};
    std::sort(seen.begin(), seen.end()); // the kernel's interface order
    EXPECT_EQ(seen[0], "rfa 192.168.60.2/255.255.255.0");
    EXPECT_EQ(seen[1], "rfb 192.168.61.2/255.255.255.252");
    EXPECT_NE(nodes[0].mac, nodes[1].mac);

    Ip("link set rfb down");
    Ip("addr del 192.168.60.2/24 dev rfa");
    Ip("addr add 192.168.70.2/24 dev rfa");
    nodes = Dump();
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].addresses, "192.168.70.2/255.255.255.0");
}

TEST_F(NicscanLab, KeepsTheFirstTenOfManyAddresses) {
    Ip("link add rfa type veth peer name rfb");
    for (int i = 1; i <= 12; ++i) {
        Ip("addr add 10.66." + std::to_string(i) + ".1/24 dev rfa");
    }
    Ip("link set rfa up");
    const auto nodes = Dump();
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].count, "10");
    EXPECT_EQ(nodes[0].addresses.find("10.66.11.1"), std::string::npos);
    EXPECT_NE(nodes[0].addresses.find("10.66.10.1/255.255.255.0"), std::string::npos);
}

TEST_F(NicscanLab, NamespaceWithOnlyLoopbackGivesAnEmptyList) {
    EXPECT_TRUE(Dump().empty());
}

// The node layout is read by byte offset, so check it the way a reader of the raw bytes sees it.
TEST(NicscanLayout, FieldsSitAtTheirByteOffsets) {
    AdapterRecord nodes[2]{};
    nodes[0].usable = 1;
    nodes[0].hardwareAddress[0] = 0xa1;
    nodes[0].hardwareAddress[5] = 0xa6;
    std::strcpy(nodes[0].description, "D");
    std::strcpy(nodes[0].name, "N");
    nodes[0].count = 0x0102;
    std::strcpy(nodes[0].addresses[0].ip, "1.2.3.4");
    std::strcpy(nodes[0].addresses[0].mask, "255.0.0.0");
    std::strcpy(nodes[0].addresses[9].ip, "9.9.9.9");
    nodes[0].unused[7] = 0x0a0b0c0d;
    nodes[0].next = sizeof(AdapterRecord);

    unsigned char bytes[sizeof(AdapterRecord)];
    std::memcpy(bytes, &nodes[0], sizeof bytes);
    EXPECT_EQ(sizeof bytes, 924u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 0xa1);
    EXPECT_EQ(bytes[6], 0xa6);
    EXPECT_EQ(bytes[9], 'D');
    EXPECT_EQ(bytes[141], 'N');
    EXPECT_EQ(bytes[404], 0x02); // little-endian count
    EXPECT_EQ(bytes[405], 0x01);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 408)), "1.2.3.4");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 424)), "255.0.0.0");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 408 + 9 * 48)), "9.9.9.9");
    EXPECT_EQ(bytes[916], 0x0d);
    EXPECT_EQ(bytes[919], 0x0a);
    EXPECT_EQ(bytes[920], 924 & 0xff);
    EXPECT_EQ(bytes[921], 924 >> 8);

    EXPECT_EQ(NextAdapterRecord(&nodes[0]), &nodes[1]);
    EXPECT_EQ(NextAdapterRecord(&nodes[1]), nullptr);
    nodes[0].next = 100; // not a whole node: never followed
    EXPECT_EQ(NextAdapterRecord(&nodes[0]), nullptr);
}

} // namespace
} // namespace rf
