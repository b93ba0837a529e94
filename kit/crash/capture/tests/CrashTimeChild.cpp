#include "kit/crash/capture/tests/CrashTimeChild.h"

#include "testing/AllocationTrap.h"

#include <climits>
#include <csignal>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace kit::testing {
namespace {

void (*g_handler)() { nullptr };
char g_alternateStack[256 * 1024];

void onSegv(int, siginfo_t*, void*)
{
    g_handler();
    ::testing::AllocationTrap::disarm();
    signal(SIGSEGV, SIG_DFL);
    raise(SIGSEGV);
}

}

std::unique_ptr<::testing::ChildProcess> runCrashTimeChild(
    const std::string& test, const std::vector<std::string>& environment)
{
    char self[PATH_MAX] {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) < 0)
        return nullptr;
    std::vector<std::string> arguments { "/usr/bin/env" };
    arguments.insert(arguments.end(), environment.begin(), environment.end());
    arguments.insert(arguments.end(),
        { "ASAN_OPTIONS=handle_segv=0:detect_leaks=0:abort_on_error=1", self,
            "--gtest_also_run_disabled_tests", "--gtest_filter=" + test });
    return std::make_unique<::testing::ChildProcess>(arguments);
}

void handleSegvOnAlternateStack(void (*handler)(int, siginfo_t*, void*))
{
    stack_t stack {};
    stack.ss_sp = g_alternateStack;
    stack.ss_size = sizeof g_alternateStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action { };
    action.sa_sigaction = handler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, nullptr);
}

void faultWithHandler(void (*handler)())
{
    g_handler = handler;
    handleSegvOnAlternateStack(onSegv);
    ::testing::AllocationTrap::arm();
    void* guard = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    *static_cast<volatile int*>(guard) = 1;
    abort();
}

}
