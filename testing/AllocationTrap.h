#pragma once

namespace testing {

/// Stops the process at the first heap allocation or release made while armed, so that a test proves code
/// meant for a crashing process (a signal handler) allocates nothing. Under the sanitizers it works through
/// their allocation hooks; otherwise it replaces the malloc family. A trapped call writes "allocation trap:"
/// and the call's name to standard error and aborts (SIGABRT).
class AllocationTrap {
public:
    /// Traps every allocation and release the calling thread makes from now on.
    static void arm();
    /// Lets the calling thread's allocations through again.
    static void disarm();
    /// Whether the trap is armed on the calling thread.
    static bool armed();
};

}
