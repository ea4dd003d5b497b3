#include "protocol/DeviceNameBlock.h"

#include "core/OperateCharacter.h"

namespace rf {

DeviceNameBlock DeviceNameBlock::FromBytes(std::span<const uint8_t> bytes) {
    DeviceNameBlock block;
    block.Assign(bytes);
    return block;
}

DeviceNameBlock DeviceNameBlock::FromLocalName(std::string_view localName) {
    std::string deviceText;
    DeviceNameBlock block;
    block.set_ap_name(COperateCharacter::LocalTextToDevice(localName, deviceText)
                          ? std::string_view(deviceText)
                          : localName);
    return block;
}

} // namespace rf
