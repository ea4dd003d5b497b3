#pragma once

#include <functional>
#include <map>
#include <string>

namespace rf {

// A Unix stream socket for tests: each line received is a request; the answer (ending in an empty line)
// goes back on the same connection.
class ControlServer {
public:
    using Handler = std::function<std::string(const std::string& request)>;

    ControlServer() = default;
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    bool Open(const std::string& path, std::string& error);
    int listenFd() const { return listenFd_; }
    bool Owns(int fd) const { return clients_.count(fd) != 0; }

    // Accepts a waiting connection; returns its descriptor (to watch) or -1.
    int Accept();
    // Reads what fd sent and answers every complete line; false when the client went away (fd closed).
    bool Serve(int fd, const Handler& handler);

private:
    int listenFd_ = -1;
    std::string path_;
    std::map<int, std::string> clients_; // descriptor -> bytes of an unfinished line
};

} // namespace rf
