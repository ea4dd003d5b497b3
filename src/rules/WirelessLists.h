#pragma once

#include "rules/ChoiceList.h"

#include <cstddef>
#include <optional>

namespace rf {

// The dependent lists of the wireless tab. The band is the radio's rf_type: 0 is 2.4 GHz, every other
// value counts as 5 GHz for the mode, bandwidth and channel lists, while the extension list knows only 0
// and 1.

// 5 GHz: 11a (0), 11n (3), 11a/n (1); 2.4 GHz: 11b (1), 11g (2), 11b/g (0), 11b/g/n (4). A mode that is
// not listed selects the third entry.
ChoiceList BuildNetworkModeList(int band, int mode);

// Auto (2), 20MHz (0), 40MHz (1) on 5 GHz and for 2.4 GHz modes 3 and 4; only 20MHz for 2.4 GHz modes
// 0-2; nothing for higher 2.4 GHz modes. A bandwidth that is not listed selects the first entry.
ChoiceList BuildBandwidthList(int mode, int bandwidth, int band);

// The country row's channels for the band and bandwidth (5 GHz: 20 MHz list for bandwidth 0, 40 MHz for 1,
// the Auto list otherwise); 0 is "Auto". Except in the country "Test", the channels 52-64 and 100-144 are
// left out. A channel that is not listed selects the first entry. Without a row the list is empty.
ChoiceList BuildChannelList(std::optional<size_t> row, int band, int bandwidth, int channel);

// The extension channel that pairs with channel for a 40 MHz link. Enabled on 5 GHz with a mode other
// than 0 at 40 MHz, and on 2.4 GHz with mode 4 at a bandwidth other than 20 MHz; otherwise empty and
// disabled. highestChannel is the last channel the channel list offers (2.4 GHz). With two entries,
// extension picks the first (0) or the second (1); 2 picks the first.
ChoiceList BuildExtensionList(int bandwidth, int mode, int band, std::optional<size_t> row, int channel,
                              int extension, int highestChannel);

// The expand_channel a Save writes: 2 when there is no pairing (channel Auto, 20 MHz, or 5 GHz Auto
// bandwidth) or no extension is selected, else the selected extension's value.
int ExpandChannelValue(int band, int bandwidth, int channel, const ChoiceList& extensions);

} // namespace rf
