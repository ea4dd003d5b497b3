#pragma once

#include "rules/ChoiceList.h"

#include <cstddef>
#include <optional>

namespace rf {

class DeviceInfo;

// The dependent lists of the wireless tab and what the user chose in them: country, network mode,
// bandwidth, channel and extension channel. Changing one rebuilds the lists that depend on it, as the
// tab does: a new country or mode starts the channel at Auto, a new bandwidth keeps the channel where it
// still offers it, and a new channel or bandwidth resets the extension.
class WirelessChoices {
public:
    // The lists as the tab fills them from a device's stored settings.
    static WirelessChoices Open(const DeviceInfo& stored);

    int band() const { return band_; }
    std::optional<size_t> country() const { return country_; }
    const ChoiceList& networkModes() const { return modes_; }
    const ChoiceList& bandwidths() const { return bandwidths_; }
    const ChoiceList& channels() const { return channels_; }
    const ChoiceList& extensions() const { return extensions_; }

    void SelectCountry(size_t row);
    void SelectNetworkMode(int index);
    void SelectBandwidth(int index);
    void SelectChannel(int index);
    void SelectExtension(int index);

    friend bool operator==(const WirelessChoices&, const WirelessChoices&) = default;

private:
    int SelectedMode() const;
    int SelectedBandwidth() const;
    int SelectedChannel() const;
    // The channel list at Auto and the extension list after it, for the current selections.
    void RebuildChannels();
    void RebuildExtensions(int mode, int bandwidth, int channel, int extension);

    int band_ = 0;
    std::optional<size_t> country_;
    ChoiceList modes_;
    ChoiceList bandwidths_;
    ChoiceList channels_;
    ChoiceList extensions_;
};

} // namespace rf
