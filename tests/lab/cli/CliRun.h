#pragma once

// radiofleet-cli run inside a lab's PC namespace with a store directory of the test's own.
#include "core/OperateCharacter.h"
#include "support/Lab.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

namespace rf::test {

struct CliRun {
    int status = -1;
    std::vector<std::string> lines;
    std::string output;
};

inline CliRun RunCli(const Lab& lab, const TempDir& runDir, const std::string& arguments) {
    const ShellResult r = lab.RunInPc("env XDG_RUNTIME_DIR= TMPDIR=" + ShellQuote(runDir.Path().string()) +
                                      " " + ShellQuote(RF_CLI) + " " + arguments);
    CliRun run{r.status, {}, r.output};
    for (size_t start = 0, end; (end = r.output.find('\n', start)) != std::string::npos; start = end + 1) {
        run.lines.push_back(r.output.substr(start, end - start));
    }
    return run;
}

// A device's text as the program shows it.
inline std::string LocalText(const std::string& deviceText) {
    std::string local;
    COperateCharacter::DeviceTextToLocal(deviceText, local);
    return local;
}

} // namespace rf::test
