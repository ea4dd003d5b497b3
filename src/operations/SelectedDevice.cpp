#include "operations/SelectedDevice.h"

#include <algorithm>
#include <cstring>

namespace rf {
namespace {

template <size_t N> void CopyText(char (&field)[N], std::string_view text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

} // namespace

SelectedDevice SelectedDevice::Make(std::string_view ipText, std::string_view macText, int32_t modelCode) {
    SelectedDevice device;
    CopyText(device.ip, ipText);
    CopyText(device.mac, macText);
    device.model = modelCode;
    return device;
}

} // namespace rf
