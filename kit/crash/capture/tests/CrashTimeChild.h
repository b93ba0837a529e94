#pragma once

#include "testing/ChildProcess.h"

#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kit::testing {

/// Runs one disabled test of this binary (named `test`) as a child process with the sanitizers' own signal
/// handling off, so that the child's SIGSEGV handler is the test's, and `environment` ("NAME=value") added.
/// The child writes what it found to its standard output.
std::unique_ptr<::testing::ChildProcess> runCrashTimeChild(
    const std::string& test, const std::vector<std::string>& environment = {});

/// In a child: installs `handler` for SIGSEGV on an alternate stack of this thread (256 KB, reserved).
void handleSegvOnAlternateStack(void (*handler)(int, siginfo_t*, void*));

/// In the child: arms the allocation trap, installs `handler` for SIGSEGV on an alternate stack and faults.
/// The handler writes its findings with write(2); afterwards the child dies by SIGSEGV.
[[noreturn]] void faultWithHandler(void (*handler)());

}
