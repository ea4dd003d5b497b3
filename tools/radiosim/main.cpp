// radiosim: simulated radios for tests, benchmarks and a demo lab. Run it inside the radios' network
// namespace of a lab (scripts/lab up), never in the machine's own namespace.
#include "SimOptions.h"
#include "Simulator.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::string error;
    const auto options = rf::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "radiosim: %s\n%s", error.c_str(), rf::kSimUsage);
        return 2;
    }
    rf::Simulator simulator(*options);
    if (!simulator.Open(error)) {
        std::fprintf(stderr, "radiosim: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "radiosim: %zu radios ready\n", options->radios);
    simulator.Run();
    return 0;
}
