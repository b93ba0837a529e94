#pragma once

#include <csignal>

namespace kit {

struct EMBSignalState;

/// Starts "signal.embrecord" afresh and installs EMBSignalHandler for the fatal signals, on the thread's
/// alternate stack, keeping each signal's previous handler to hand the fault back to.
bool EMBSignalInitialize(EMBSignalState* state);
/// Puts the previous handlers back: for tests and shutdown.
void EMBSignalUninstall(EMBSignalState* state);

/// The fatal signals' handler. The first fault of the process writes the "signal" record and the fault
/// path's records, hands the signals back to the handlers that were there before and lets the fault recur
/// under them (raising it again where returning would not repeat it). A fault of another thread meanwhile
/// waits until the report is written, then takes the same way out.
void EMBSignalHandler(int number, siginfo_t* info, void* machineContext);

/// Sets the fatal signals to their default action. Async-signal-safe.
bool EMBSignalSafeRemoveHandlers();
/// Sets the fatal signals to their default action, then installs the saved previous handlers.
/// Async-signal-safe.
bool EMBSignalSafeInstallPreexistingHandlers(const EMBSignalState* state);

/// The signal's name ("SIGSEGV"; "UNKNOWN" for a signal not handled here) and its code's name ("ABORT" for
/// SIGABRT, else none).
void EMBSignalNameLookup(int number, int code, const char** name, const char** codeName);

/// Warns on standard error of each fatal signal whose handler is not EMBSignalHandler.
void EMBSignalCheckHandlers();

}
