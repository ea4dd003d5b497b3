#pragma once

#include <functional>

namespace rf {

// How a request that expects a reply ended.
struct RequestEnd {
    enum class How { Answered, NoAnswer, Stopped };
    How how = How::NoAnswer;
    int result = 0; // the reply's first payload byte when answered (0 = success for most types)
};

using RequestDone = std::function<void(const RequestEnd&)>;

} // namespace rf
