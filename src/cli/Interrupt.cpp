#include "cli/Interrupt.h"

#include <csignal>

namespace dividra::cli {
namespace {

volatile std::sig_atomic_t g_raised = 0;
struct sigaction g_oldInt {};
struct sigaction g_oldTerm {};
struct sigaction g_oldHup {};

extern "C" void onSignal(int) {
    g_raised = 1;
}

} // namespace

ScopedInterruptFlag::ScopedInterruptFlag() {
    g_raised = 0;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a prompt waiting for input ends at once and answers Cancel.
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, &g_oldInt);
    ::sigaction(SIGTERM, &action, &g_oldTerm);
    ::sigaction(SIGHUP, &action, &g_oldHup);
}

ScopedInterruptFlag::~ScopedInterruptFlag() {
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
    ::sigaction(SIGHUP, &g_oldHup, nullptr);
}

bool ScopedInterruptFlag::raised() {
    return g_raised != 0;
}

void ScopedInterruptFlag::raise() {
    g_raised = 1;
}

} // namespace dividra::cli
