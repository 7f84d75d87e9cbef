#include "Interruption.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace {

volatile sig_atomic_t caught = 0;
// A pipe the handler writes a byte to, so that a poll() waiting for workers or for the list of
// inputs wakes up, whenever the signal comes.
int wake[2] = {-1, -1};

void note(int number) {
    if (!caught)
        caught = number;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(wake[1], &byte, 1);
}

} // namespace

void Interruption::catchSignals() {
    if (wake[0] < 0 && ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the default actions stay
    struct sigaction action {};
    action.sa_handler = note;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

int Interruption::descriptor() {
    return wake[0];
}

int Interruption::signal() {
    return caught;
}

void Interruption::endBySignal() {
    const int number = caught ? int(caught) : SIGTERM;
    std::signal(number, SIG_DFL);
    ::raise(number);
    std::_Exit(128 + number);
}
