#pragma once

#include <random>
#include <string>
#include <vector>

namespace rf::test {

// Seeded, so that a failing case comes again. Texts are made of pieces that make matching interesting:
// case pairs, LIKE's wildcards and escape, the separator the device-list index joins columns with, a
// multi-byte letter, digits and dots as in addresses.
class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}

    // 0 to n - 1.
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
    // Up to maxPieces pieces, possibly none.
    std::string Text(int maxPieces) {
        static const std::vector<std::string> pieces{"a",  "A",    "b",        "B",        "x",  "%", "_",
                                                     "\\", "\x1f", "\xc3\xa9", "\xc3\x89", "1",  "9", ".",
                                                     "-",  " ",    "'",        "Ab",       "ON", "on"};
        std::string text;
        for (int i = Below(maxPieces + 1); i > 0; --i) {
            text += pieces[static_cast<size_t>(Below(static_cast<int>(pieces.size())))];
        }
        return text;
    }

private:
    std::mt19937 engine_;
};

} // namespace rf::test
