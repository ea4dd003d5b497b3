#include "protocol/OnlineList.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

OnlineEntry Entry(const std::string& mac, const std::string& ip) {
    OnlineEntry entry;
    entry.mac = mac;
    entry.ip = ip;
    return entry;
}

TEST(OnlineList, LookupsByMacAndByDetailedAddressFollowAddsMovesStatesAndRemovals) {
    OnlineList list;
    list.Add(Entry("02:00:00:00:00:01", "10.0.0.1"));
    list.Add(Entry("02:00:00:00:00:02", "10.0.0.2"));
    list.Add(Entry("02:00:00:00:00:03", "10.0.0.3"));
    ASSERT_NE(list.Find("02:00:00:00:00:02"), nullptr);
    EXPECT_EQ(list.Find("02:00:00:00:00:02")->ip, "10.0.0.2");
    EXPECT_EQ(list.Find("02:00:00:00:00:09"), nullptr);

    OnlineEntry& first = *list.Find("02:00:00:00:00:01");
    OnlineEntry& third = *list.Find("02:00:00:00:00:03");
    EXPECT_FALSE(list.DetailedElsewhere("10.0.0.1", third)) << "announced entries hold no address";
    list.SetState(first, OnlineEntry::Detailed);
    EXPECT_TRUE(list.DetailedElsewhere("10.0.0.1", third));
    EXPECT_FALSE(list.DetailedElsewhere("10.0.0.1", first)) << "its own address";
    list.SetIp(first, "10.0.0.7");
    EXPECT_FALSE(list.DetailedElsewhere("10.0.0.1", third)) << "moved away";
    EXPECT_TRUE(list.DetailedElsewhere("10.0.0.7", third));

    // Removing the entry before it shifts the others: both lookups still find the right ones.
    list.EraseIf([](const OnlineEntry& e) { return e.mac == "02:00:00:00:00:02"; });
    list.SetState(*list.Find("02:00:00:00:00:03"), OnlineEntry::Detailed);
    EXPECT_EQ(list.Find("02:00:00:00:00:02"), nullptr);
    EXPECT_EQ(list.Find("02:00:00:00:00:03")->ip, "10.0.0.3");
    EXPECT_TRUE(list.DetailedElsewhere("10.0.0.3", *list.Find("02:00:00:00:00:01")));
    EXPECT_TRUE(list.DetailedElsewhere("10.0.0.7", *list.Find("02:00:00:00:00:03")));
    list.SetState(*list.Find("02:00:00:00:00:01"), OnlineEntry::Announced);
    EXPECT_FALSE(list.DetailedElsewhere("10.0.0.7", *list.Find("02:00:00:00:00:03")));

    EXPECT_EQ(list.TakeAll().size(), 2u);
    EXPECT_EQ(list.Find("02:00:00:00:00:01"), nullptr);
    EXPECT_TRUE(list.Entries().empty());
}

} // namespace
} // namespace rf
