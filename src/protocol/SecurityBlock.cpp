#include "protocol/SecurityBlock.h"

namespace rf {

SecurityBlock SecurityBlock::FromBytes(std::span<const uint8_t> bytes) {
    SecurityBlock block;
    block.Assign(bytes);
    return block;
}

uint8_t SecurityBlock::wep_key_type(size_t index) const {
    return index < kWepKeyCount ? U8(WepKeyTypeOffset(index)) : 0;
}

void SecurityBlock::set_wep_key_type(size_t index, uint8_t v) {
    if (index < kWepKeyCount) {
        SetU8(WepKeyTypeOffset(index), v);
    }
}

std::string SecurityBlock::wep_key_value(size_t index) const {
    return index < kWepKeyCount ? Text(WepKeyValueOffset(index), kWepKeyValueWidth, WepKeyLengthOffset(index))
                                : std::string();
}

void SecurityBlock::set_wep_key_value(size_t index, std::string_view v) {
    if (index < kWepKeyCount) {
        SetText(WepKeyValueOffset(index), kWepKeyValueWidth, WepKeyLengthOffset(index), v);
    }
}

} // namespace rf
