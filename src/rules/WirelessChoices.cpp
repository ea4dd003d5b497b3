#include "rules/WirelessChoices.h"

#include "protocol/DeviceInfo.h"
#include "rules/CountryTable.h"
#include "rules/WirelessLists.h"

namespace rf {
namespace {

bool IsIndexOf(const ChoiceList& list, int index) {
    return index >= 0 && static_cast<size_t>(index) < list.items.size();
}

} // namespace

WirelessChoices WirelessChoices::Open(const DeviceInfo& stored) {
    WirelessChoices c;
    c.band_ = stored.rf_type();
    c.country_ = CountryRowOfCode(stored.country_code());
    c.modes_ = BuildNetworkModeList(c.band_, stored.network_mode());
    c.bandwidths_ = BuildBandwidthList(stored.network_mode(), stored.bandwidth(), c.band_);
    c.channels_ = BuildChannelList(c.country_, c.band_, stored.bandwidth(), stored.channel());
    c.RebuildExtensions(stored.network_mode(), stored.bandwidth(), stored.channel(), stored.expand_channel());
    return c;
}

void WirelessChoices::SelectCountry(size_t row) {
    if (row < kCountryCount) {
        country_ = row;
        RebuildChannels();
    }
}

void WirelessChoices::SelectNetworkMode(int index) {
    if (IsIndexOf(modes_, index)) {
        modes_.selected = index;
        bandwidths_ = BuildBandwidthList(SelectedMode(), SelectedBandwidth(), band_);
        RebuildChannels();
    }
}

// The channel stays when the new bandwidth offers it (36 pairs with 40 at 40 MHz); otherwise it falls back
// to Auto (165 has no 40 MHz partner). The extension follows the channel.
void WirelessChoices::SelectBandwidth(int index) {
    if (IsIndexOf(bandwidths_, index)) {
        bandwidths_.selected = index;
        channels_ = BuildChannelList(country_, band_, SelectedBandwidth(), SelectedChannel());
        RebuildExtensions(SelectedMode(), SelectedBandwidth(), SelectedChannel(), 2);
    }
}

void WirelessChoices::SelectChannel(int index) {
    if (IsIndexOf(channels_, index)) {
        channels_.selected = index;
        RebuildExtensions(SelectedMode(), SelectedBandwidth(), SelectedChannel(), 2);
    }
}

void WirelessChoices::SelectExtension(int index) {
    if (IsIndexOf(extensions_, index)) {
        extensions_.selected = index;
    }
}

int WirelessChoices::SelectedMode() const {
    return modes_.SelectedData().value_or(-1);
}

int WirelessChoices::SelectedBandwidth() const {
    return bandwidths_.SelectedData().value_or(-1);
}

int WirelessChoices::SelectedChannel() const {
    return channels_.SelectedData().value_or(0);
}

void WirelessChoices::RebuildChannels() {
    channels_ = BuildChannelList(country_, band_, SelectedBandwidth(), 0);
    RebuildExtensions(SelectedMode(), SelectedBandwidth(), 0, 2);
}

void WirelessChoices::RebuildExtensions(int mode, int bandwidth, int channel, int extension) {
    const int highest = channels_.items.empty() ? 0 : static_cast<int>(channels_.items.size()) - 1;
    extensions_ = BuildExtensionList(bandwidth, mode, band_, country_, channel, extension, highest);
}

} // namespace rf
