#pragma once

#include "support/LabRequirement.h"
#include "support/Shell.h"

#include <string>
#include <unistd.h>

namespace rf::test {

// A named network namespace made for one test and deleted with everything in it when the test ends.
// Ok() is false (with Reason()) when the test lacks the rights to make one.
class NetNamespace {
public:
    explicit NetNamespace(std::string name) : name_(std::move(name)) {
        if (::geteuid() != 0) {
            reason_ = "needs root to create network namespaces";
            return;
        }
        const ShellResult r = RunShell("ip netns add " + name_ + " 2>&1");
        if (r.status != 0) {
            reason_ = "cannot create a network namespace: " + r.output;
            return;
        }
        created_ = true;
        Run("ip link set lo up");
    }
    ~NetNamespace() {
        if (created_) {
            RunShell("ip netns pids " + name_ + " 2>/dev/null | xargs -r kill -9 2>/dev/null; ip netns del " +
                     name_ + " 2>/dev/null");
        }
    }
    NetNamespace(const NetNamespace&) = delete;
    NetNamespace& operator=(const NetNamespace&) = delete;

    bool Ok() const { return created_; }
    const std::string& Reason() const { return reason_; }
    const std::string& Name() const { return name_; }

    // Runs a command inside the namespace (through "ip netns exec").
    ShellResult Run(const std::string& command) const {
        return RunShell("ip netns exec " + name_ + " " + command + " 2>&1");
    }

private:
    std::string name_;
    std::string reason_;
    bool created_ = false;
};

} // namespace rf::test
