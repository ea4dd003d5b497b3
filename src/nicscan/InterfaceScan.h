#pragma once

#include "nicscan/Nicscan.h"

#include <string>
#include <vector>

namespace rf {

// The usable adapters of the current network namespace: up, not loopback, with at least one IPv4
// address. Nodes come unlinked (next 0), in the order the kernel lists the interfaces.
std::vector<AdapterRecord> ScanInterfaces();

// "eth0 (e1000e)": the interface name with the name of its driver, or the name alone when no driver
// is known.
std::string DescribeInterface(const std::string& name);

} // namespace rf
