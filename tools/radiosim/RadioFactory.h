#pragma once

#include "Radio.h"
#include "SimOptions.h"

#include <vector>

namespace rf {

// Builds the lab's radios from the options: the same seed gives the same radios. Radios are spread over
// the segments in turn; about a third are access points, half are stations bridged to an access point
// of their own segment, the rest use the other work modes.
std::vector<Radio> MakeRadios(const SimOptions& options);

// The address of the k-th radio of a segment: network + 1.0 + k, skipping .0 and .255.
Ipv4Bytes RadioAddress(const Segment& segment, size_t k);

} // namespace rf
