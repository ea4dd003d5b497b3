// Stands in for the firmware server where a test needs one that is slow to leave: it says it runs, as the
// server does on its standard output, and then passes over both polite requests to end (the end of its
// input, which it never reads, and SIGTERM), so ending it takes the full grace before the forced end.
#include <csignal>
#include <unistd.h>

int main() {
    std::signal(SIGTERM, SIG_IGN);
    static constexpr char kStarted[] = "started\n";
    if (::write(STDOUT_FILENO, kStarted, sizeof kStarted - 1) < 0) {
        return 1;
    }
    while (true) {
        ::pause();
    }
}
