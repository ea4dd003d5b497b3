#include "relayd/TransferAdmission.h"

#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace rf {
namespace {

in_addr_t Address(const char* text) {
    return ::inet_addr(text);
}

TEST(TransferAdmission, LimitsHoldInTotalAndPerAddressAndReleasedPlacesComeBack) {
    CTransferAdmission admission(3, 2);
    const auto a = Address("10.0.0.1"), b = Address("10.0.0.2"), c = Address("10.0.0.3");
    EXPECT_TRUE(admission.TryAdmit(a));
    EXPECT_TRUE(admission.TryAdmit(a));
    EXPECT_FALSE(admission.TryAdmit(a)) << "third from one address";
    EXPECT_TRUE(admission.TryAdmit(b));
    EXPECT_FALSE(admission.TryAdmit(c)) << "fourth in total";
    EXPECT_EQ(admission.Active(), 3u);

    admission.Release(a);
    EXPECT_EQ(admission.Active(), 2u);
    EXPECT_TRUE(admission.TryAdmit(c)) << "the total had room again";
    EXPECT_FALSE(admission.TryAdmit(a)) << "but the total is full once more";
    admission.Release(c);
    EXPECT_TRUE(admission.TryAdmit(a)) << "a's own share had room again";

    admission.Release(Address("10.0.0.9"));
    EXPECT_EQ(admission.Active(), 3u) << "giving back a place never taken changes nothing";
}

// Loops on several threads take and give back places at once: the limits hold at every moment.
TEST(TransferAdmission, LimitsHoldWhileManyThreadsAdmitAtOnce) {
    constexpr size_t kMaxTotal = 5, kMaxPerAddress = 3, kThreads = 6;
    CTransferAdmission admission(kMaxTotal, kMaxPerAddress);
    const auto shared = Address("10.0.0.1");
    std::atomic<size_t> holding{0}, fromShared{0}, worstTotal{0}, worstShared{0};
    auto raise = [](std::atomic<size_t>& worst, size_t value) {
        for (size_t seen = worst.load(); value > seen && !worst.compare_exchange_weak(seen, value);) {
        }
    };
    std::vector<std::jthread> threads;
    for (size_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const auto own = Address(("10.0.1." + std::to_string(t + 1)).c_str());
            for (int i = 0; i < 20000; ++i) {
                const auto address = i % 2 == 0 ? shared : own;
                if (!admission.TryAdmit(address)) {
                    continue;
                }
                raise(worstTotal, ++holding);
                if (address == shared) {
                    raise(worstShared, ++fromShared);
                    --fromShared;
                }
                --holding;
                admission.Release(address);
            }
        });
    }
    threads.clear();
    EXPECT_LE(worstTotal.load(), kMaxTotal);
    EXPECT_LE(worstShared.load(), kMaxPerAddress);
    EXPECT_EQ(admission.Active(), 0u);
    for (size_t i = 0; i < kMaxTotal; ++i) {
        EXPECT_TRUE(admission.TryAdmit(Address(("10.0.2." + std::to_string(i + 1)).c_str())));
    }
}

} // namespace
} // namespace rf
