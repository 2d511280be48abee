#pragma once

// Ctrl-C as a request to stop, so a join can remove its temporary file and a split can end
// without a descriptor over a part of a set.
namespace dividra::cli {

// While one lives, SIGINT, SIGTERM and SIGHUP only set a flag; the earlier handlers come back
// after.
class ScopedInterruptFlag {
public:
    ScopedInterruptFlag();
    ~ScopedInterruptFlag();
    ScopedInterruptFlag(const ScopedInterruptFlag&) = delete;
    ScopedInterruptFlag& operator=(const ScopedInterruptFlag&) = delete;

    static bool raised();
    // A test seam: as if the signal had come. The programs never call it.
    static void raise();
};

} // namespace dividra::cli
