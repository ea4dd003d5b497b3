#pragma once

#include <functional>

namespace rf {

// How a request sent with retransmission ended.
struct RequestEnd {
    enum class How { Answered, NoAnswer, Stopped };
    How how = How::NoAnswer;
    int result = 0; // the reply's first payload byte when answered (0 = success for most types)
};

// Told once when a request ends; see CNetManagement::SendCommand.
using RequestDone = std::function<void(const RequestEnd&)>;

} // namespace rf
