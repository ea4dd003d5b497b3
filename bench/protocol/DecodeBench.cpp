#include "protocol/ApInfo.h"
#include "protocol/CodeTables.h"
#include "protocol/PacketHeader.h"
#include "protocol/ScanReply.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace rf {
namespace {

std::vector<uint8_t> DeviceInfoReply() {
    DeviceInfo info;
    info.set_ip(Ipv4Bytes{10, 99, 1, 20});
    info.set_ap_name("North mast \xE5\xA1\x94\xE5\xA1\x94");
    info.set_ssid("Fields");
    info.set_bridge_ssid("Barn");
    std::vector<uint8_t> datagram(kMaxDatagram);
    datagram.resize(BuildPacket(datagram, MessageType::GetInfo, MacAddress{0, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e},
                                true, info.bytes()));
    return datagram;
}

// What the reply processor does with one GetInfo reply before it reaches the store.
void BM_GetInfoReplyToRecord(benchmark::State& state) {
    const auto datagram = DeviceInfoReply();
    for (auto _ : state) {
        const auto header = PacketHeader::Decode(datagram);
        DeviceInfo info = DeviceInfo::FromBytes(PacketPayload(datagram));
        info.ConvertTextsToLocal();
        const ApInfo record =
            ApInfo::Make(MacBytesToText(header->mac), header->model, DeviceStatus::Online, info);
        benchmark::DoNotOptimize(IpBytesToText(record.device_info().ip()));
    }
}
BENCHMARK(BM_GetInfoReplyToRecord);

void BM_FullScanReplyDecode(benchmark::State& state) {
    ScanReply reply;
    reply.packet_count = 1;
    reply.entries.resize(ScanReply::kMaxEntries);
    std::vector<uint8_t> payload(ScanReply::kMaxSize);
    payload.resize(reply.Encode(payload));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScanReply::Decode(payload));
    }
}
BENCHMARK(BM_FullScanReplyDecode);

} // namespace
} // namespace rf

BENCHMARK_MAIN();
