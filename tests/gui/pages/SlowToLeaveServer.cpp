// Stands in for the firmware server where a test needs one that is slow to leave: it passes over the
// polite request to end (SIGTERM), so ending it takes the full grace before the forced end.
#include <csignal>
#include <unistd.h>

int main() {
    std::signal(SIGTERM, SIG_IGN);
    while (true) {
        ::pause();
    }
}
