#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// One line between the program and the firmware server it started. The program writes commands on the
// server's standard input (closing it ends the server); the server writes its status on its standard
// output. A file name travels with its blanks, controls and '%' as %XX; a reason or error text is the
// rest of its line.
//
//   allow ADDR...                       serve only these addresses (none: nobody)
//   started                             the server runs (a password prompt is over)
//   listening PORT                      it serves on this UDP port
//   progress ADDR FILE BYTES TOTAL      a transfer has confirmed BYTES of TOTAL
//   done ADDR FILE                      a transfer completed
//   failed ADDR FILE REASON             a transfer ended without completing
//   error TEXT                          the server cannot serve and ends
struct RelaydMessage {
    enum class Kind { Allow, Started, Listening, Progress, Done, Failed, Error };

    Kind kind = Kind::Started;
    std::vector<std::string> addresses{}; // Allow
    std::string address{};                // Progress, Done, Failed
    std::string file{};                   // Progress, Done, Failed
    uint64_t bytes = 0;                   // Progress
    uint64_t total = 0;                   // Progress
    uint16_t port = 0;                    // Listening
    std::string text{};                   // Failed (the reason), Error

    // The line, ending in '\n'.
    std::string Format() const;
    // A line without its '\n'; nullopt when it is not one of the lines above.
    static std::optional<RelaydMessage> Parse(std::string_view line);

    bool operator==(const RelaydMessage&) const = default;
};

} // namespace rf
