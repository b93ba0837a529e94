#pragma once

#include "kit/crash/capture/EMBAllocator.h"

#include <atomic>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <exception>

namespace kit {

/// Told, right after a fatal exception was recorded, that a report may be ready to send.
class EMBImmediateDeliveryTarget {
public:
    virtual ~EMBImmediateDeliveryTarget() = default;
    virtual void potentiallySubmittableCrashOccurred() = 0;
};

/// Called at the very end of the fault path, on the crashing thread, while the process is crashing.
class EMBCrashCallbackTarget {
public:
    virtual ~EMBCrashCallbackTarget() = default;
    virtual void deliverCrashDelegateCallback() = 0;
};

/// What the crash reporting controller hands to capture at start; read only while the context is set up.
struct EMBContextInitParameters {
    const char* apiKey { nullptr };
    EMBImmediateDeliveryTarget* immediateDeliveryTarget { nullptr };
    bool firstInstall { false };
    EMBCrashCallbackTarget* crashCallbackTarget { nullptr };
    const char* customBundleIdentifier { nullptr };
    /// Absolute path of this run's report directory: every record file lies in it.
    const char* reportDirectory { nullptr };
    const char* reportIdentifier { nullptr };
    const char* installIdentifier { nullptr };
    const char* betaToken { nullptr };
    /// Mach exception kinds not to catch; this platform has no Mach exceptions.
    std::uint32_t machExceptionExclusionMask { 0 };
    bool errorReportingEnabled { false };
    bool customExceptionsEnabled { false };
    /// Records a custom-exception (and error) file holds before the other one is used.
    std::uint32_t maximumCustomExceptions { 0 };
    std::uint32_t errorLogBufferSize { 0 };
    std::uint32_t logBufferSize { 0 };
    std::uint32_t maximumCustomKeys { 0 };
};

/// The fatal signals, in the order every loop over them takes.
inline constexpr int kEMBFatalSignals[] { SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV, SIGSYS, SIGTRAP };
inline constexpr std::size_t kEMBFatalSignalCount { std::size(kEMBFatalSignals) };

/// Size of the initialising thread's alternate signal stack.
inline constexpr std::size_t kEMBSignalStackSize { 256 * 1024 };

struct EMBSignalState {
    /// "signal.embrecord".
    const char* path { nullptr };
    /// The action each fatal signal had before, and whether it had one worth handing back to.
    struct sigaction previousActions[kEMBFatalSignalCount] { };
    bool hasPreviousAction[kEMBFatalSignalCount] {};
    /// Whether the handlers were installed.
    bool installed { false };
    /// The initialising thread's alternate stack before ours, put back when capture is taken down.
    stack_t previousStack {};
    bool hasPreviousStack { false };
};

struct EMBExceptionState {
    /// "exception.embrecord".
    const char* path { nullptr };
    std::terminate_handler previousHandler { nullptr };
};

/// The part of the context written while it is set up and write-protected afterwards.
struct EMBReadOnlyContext {
    std::atomic<std::uint8_t> initialized { 0 };
    std::uint8_t debuggerAttached { 0 };
    const char* sdkLogPath { nullptr };
    /// The initialising thread's alternate signal stack (kEMBSignalStackSize bytes of the writable region).
    void* signalStack { nullptr };
    EMBImmediateDeliveryTarget* immediateDeliveryTarget { nullptr };
    EMBCrashCallbackTarget* crashCallbackTarget { nullptr };
    const char* binaryImagePath { nullptr };
    const char* metadataPath { nullptr };
    EMBExceptionState exception;
    EMBSignalState signal;
};

/// The part of the context that stays writable for the whole run.
struct EMBWritableContext {
    std::atomic<std::uint8_t> crashed { 0 };
    /// The thread that won the crash-once test (0 before): a fault of its own while it writes the report is
    /// told apart from a fault of another thread.
    std::atomic<int> crashingThread { 0 };
    /// Set once the crashing thread has written the report and handed the fault back.
    std::atomic<std::uint8_t> reportFinished { 0 };
};

/// The process-wide crash context.
struct EMBContext {
    std::atomic<EMBReadOnlyContext*> readOnly { nullptr };
    EMBWritableContext* writable { nullptr };
    EMBAllocator* allocator { nullptr };
};

/// The process's crash context.
EMBContext& EMBCurrentContext();

/// Builds the crash context from `params`, opens this run's record paths, writes the metadata file and
/// installs the signal and terminate handlers (none when a debugger is attached). User logging is set up
/// before it returns; the rest runs on the shared global queue, and the call returns once it is done, or
/// after 5 seconds at the most (EMBContextIsInitialized() tells when it is). Nothing for null.
void EMBContextInitialize(const EMBContextInitParameters* params);

/// The first step of initialisation: the allocator and the empty context. False when it cannot be mapped.
bool EMBContextBaseInit();
/// Uninstalls the handlers, clears the initialised flag and releases the allocator: for tests.
void EMBContextBaseDeinit();

/// Whether the context is set up and initialised.
bool EMBContextIsInitialized();
/// Whether the context is initialised and a crash was recorded.
bool EMBContextHasCrashed();
/// Marks a crash as recorded (once initialised).
void EMBContextMarkHasCrashed();
/// The crash-once test: false without marking before initialisation; true when a crash was already marked;
/// otherwise marks it, remembers the calling thread as the crashing one and answers false.
bool EMBContextMarkAndCheckIfCrashed();

/// The check the crash reporting controller runs a while after start: warns (on the system log and
/// standard error) of each fatal signal, and of the terminate handler, that is no longer capture's own,
/// naming what replaced it. Nothing before set-up or when a debugger is attached (no handler was installed).
void EMBContextCheckHandlers();

/// A copy of `text` in the context's protected region (the heap once it is sealed or full); none for none.
const char* EMBDupString(const char* text);

}
