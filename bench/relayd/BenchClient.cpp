// relayd_bench_client: fetches one file from a TFTP server with N clients at once and prints the wall time.
//
//   relayd_bench_client SERVER PORT FILE [--clients N] [--blksize N] [--windowsize N]
//                       [--retransmit-ms MS] [--give-up-ms MS] [--compare PATH]
//
// Prints "<seconds> <bytes per client> <complete clients>/<clients>"; exits 0 when every client got the
// whole file (byte-equal to PATH when --compare is given).
#include "TftpClient.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Arguments {
    std::string server, file, compare;
    uint16_t port = 69;
    unsigned clients = 1;
    rf::test::TftpClient::Options options;
};

template <typename T> bool Number(const char* text, T& out) {
    const std::string s(text);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool Parse(int argc, char** argv, Arguments& a) {
    if (argc < 4 || !Number(argv[2], a.port)) {
        return false;
    }
    a.server = argv[1];
    a.file = argv[3];
    a.options.giveUp = std::chrono::minutes(5);
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        uint64_t n = 0;
        if (name == "--compare") {
            a.compare = value;
        } else if (!Number(value, n)) {
            return false;
        } else if (name == "--clients") {
            a.clients = static_cast<unsigned>(n);
        } else if (name == "--blksize") {
            a.options.blockSize = static_cast<uint16_t>(n);
        } else if (name == "--windowsize") {
            a.options.windowSize = static_cast<uint16_t>(n);
        } else if (name == "--retransmit-ms") {
            a.options.retransmit = std::chrono::milliseconds(n);
        } else if (name == "--give-up-ms") {
            a.options.giveUp = std::chrono::milliseconds(n);
        } else {
            return false;
        }
    }
    return (argc - 4) % 2 == 0 && a.clients > 0;
}

} // namespace

int main(int argc, char** argv) {
    Arguments a;
    if (!Parse(argc, argv, a)) {
        std::fprintf(stderr,
                     "usage: %s SERVER PORT FILE [--clients N] [--blksize N] [--windowsize N] "
                     "[--retransmit-ms MS] [--give-up-ms MS] [--compare PATH]\n",
                     argv[0]);
        return 2;
    }
    std::string expected;
    if (!a.compare.empty()) {
        std::ifstream in(a.compare, std::ios::binary);
        expected.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<rf::test::TftpClient::Result> results(a.clients);
    const auto start = std::chrono::steady_clock::now();
    {
        std::vector<std::jthread> clients;
        for (unsigned i = 0; i < a.clients; ++i) {
            clients.emplace_back([&, i] {
                rf::test::TftpClient client(a.server, a.port, "0.0.0.0");
                results[i] = client.Get(a.file, a.options);
            });
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    unsigned complete = 0;
    for (const auto& r : results) {
        complete += r.complete && (a.compare.empty() || r.data == expected) ? 1 : 0;
        if (!r.complete) {
            std::fprintf(stderr, "client failed: %s\n", r.errorMessage.c_str());
        }
    }
    std::printf("%.3f %zu %u/%u\n", elapsed.count(), results[0].data.size(), complete, a.clients);
    return complete == a.clients ? 0 : 1;
}
