#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace rf::test {

struct ShellResult {
    int status = -1; // exit code, or -1 when the command could not run
    std::string output;
};

// Runs a shell command and returns its exit code and standard output.
inline ShellResult RunShell(const std::string& command) {
    ShellResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Quotes a word for the shell.
inline std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace rf::test
