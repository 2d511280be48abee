#include "cli/Interrupt.h"

#include <csignal>

namespace dividra::cli {
namespace {

volatile std::sig_atomic_t g_raised = 0;
struct sigaction g_oldInt {};
struct sigaction g_oldTerm {};

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
}

ScopedInterruptFlag::~ScopedInterruptFlag() {
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
}

bool ScopedInterruptFlag::raised() {
    return g_raised != 0;
}

void ScopedInterruptFlag::raise() {
    g_raised = 1;
}

} // namespace dividra::cli
