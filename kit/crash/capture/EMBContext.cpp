#include "kit/crash/capture/EMBContext.h"

#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBException.h"
#include "kit/crash/capture/EMBHost.h"
#include "kit/crash/capture/EMBMetadata.h"
#include "kit/crash/capture/EMBProcessRecords.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "kit/crash/capture/EMBSignal.h"
#include "kit/crash/capture/EMBThreadSuspension.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <unistd.h>
#include <utility>

namespace kit {
namespace {

EMBContext g_context;

/// The set-up steps running together on the global queue, and what runs once the last has finished.
class SetUpGroup {
public:
    explicit SetUpGroup(std::function<void()> whenFinished)
        : m_whenFinished(std::move(whenFinished))
    {
    }

    static void submit(const std::shared_ptr<SetUpGroup>& group, std::function<void()> step)
    {
        {
            std::lock_guard lock(group->m_mutex);
            ++group->m_pending;
        }
        platform::foundation::DispatchQueue::global().async([group, step = std::move(step)] {
            step();
            group->finishOne();
        });
    }

    /// No more steps come: the finishing work runs once every step has finished (at once when none is left).
    void close() { finishOne(); }

    bool waitFor(std::chrono::seconds limit)
    {
        std::unique_lock lock(m_mutex);
        return m_finished.wait_for(lock, limit, [this] { return m_done; });
    }

private:
    void finishOne()
    {
        {
            std::lock_guard lock(m_mutex);
            if (--m_pending > 0)
                return;
        }
        m_whenFinished();
        std::lock_guard lock(m_mutex);
        m_done = true;
        m_finished.notify_all();
    }

    std::function<void()> m_whenFinished;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    // The steps not yet finished, and one for the submitting side until it closes the group.
    int m_pending { 1 };
    bool m_done { false };
};

std::string join(const char* directory, const char* name)
{
    return std::string(directory) + "/" + name;
}

void installSignalStack(EMBReadOnlyContext& context)
{
    stack_t stack {};
    stack.ss_sp = context.signalStack;
    stack.ss_size = kEMBSignalStackSize;
    if (context.signalStack == nullptr || sigaltstack(&stack, &context.signal.previousStack) != 0) {
        EMBSDKFileLog("%s: Unable to setup stack %s\n", __func__, strerrordesc_np(errno));
        return;
    }
    context.signal.hasPreviousStack = context.signal.previousStack.ss_sp != nullptr
        && (context.signal.previousStack.ss_flags & SS_DISABLE) == 0;
}

// The user logging's storages: strings and counters it keeps apart from the crash context.
EMBUserLoggingStorages g_loggingStorages;
EMBUserLoggingWritableState g_loggingState;

EMBUserLoggingLimits loggingLimits(const EMBContextInitParameters& params)
{
    return EMBUserLoggingLimits {
        .errorReportingEnabled = params.errorReportingEnabled,
        .customExceptionsEnabled = params.customExceptionsEnabled,
        .maxCustomExceptions = params.maximumCustomExceptions,
        .logBufferSize = params.logBufferSize,
        .maxCustomKeys = params.maximumCustomKeys,
    };
}

}

EMBContext& EMBCurrentContext()
{
    return g_context;
}

bool EMBContextBaseInit()
{
    EMBAllocator* allocator
        = EMBAllocatorCreate(kEMBSignalStackSize + sizeof(EMBWritableContext), sizeof(EMBReadOnlyContext));
    if (allocator == nullptr)
        return false;
    void* readOnly = EMBAllocatorSafeAllocate(allocator, sizeof(EMBReadOnlyContext), 0);
    void* stack = EMBAllocatorSafeAllocate(allocator, kEMBSignalStackSize, 1);
    void* writable = EMBAllocatorSafeAllocate(allocator, sizeof(EMBWritableContext), 1);
    auto* context = new (readOnly) EMBReadOnlyContext {};
    context->signalStack = stack;
    g_context.allocator = allocator;
    g_context.writable = new (writable) EMBWritableContext {};
    g_context.readOnly.store(context, std::memory_order_seq_cst);
    return true;
}

void EMBContextBaseDeinit()
{
    EMBReadOnlyContext* context = g_context.readOnly.load();
    if (context == nullptr)
        return;
    EMBAllocatorUnprotect(g_context.allocator);
    EMBSignalUninstall(&context->signal);
    EMBExceptionUninstall(&context->exception);
    EMBBinaryImageDeinit();
    if (EMBUserLoggingIsInitialized())
        EMBUserLoggingDeinit();
    stack_t current {};
    if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == context->signalStack) {
        stack_t restore {};
        restore.ss_flags = SS_DISABLE;
        sigaltstack(context->signal.hasPreviousStack ? &context->signal.previousStack : &restore, nullptr);
    }
    context->initialized.store(0);
    g_context.readOnly.store(nullptr);
    g_context.writable = nullptr;
    EMBAllocatorDestroy(std::exchange(g_context.allocator, nullptr));
}

void EMBContextInitialize(const EMBContextInitParameters* params)
{
    if (params == nullptr || params->reportDirectory == nullptr)
        return;
    // The SDK log first, so that it tells how the allocator was set up.
    std::string sdkLogPath = join(params->reportDirectory, "sdk.log");
    if (!EMBUnlinkIfExists(sdkLogPath.c_str()))
        platform::foundation::Log("[Ember:Crash]")
            .write(std::string("Unable to write initialize SDK write paths ") + strerrordesc_np(errno));
    EMBSDKLogSetPath(sdkLogPath.c_str());
    if (!EMBContextBaseInit())
        return;
    EMBReadOnlyContext& context = *g_context.readOnly.load();
    const char* directory = EMBDupString(params->reportDirectory);
    context.sdkLogPath = EMBDupString(sdkLogPath.c_str());
    context.debuggerAttached = EMBProcessDebuggerAttached();
    context.immediateDeliveryTarget = params->immediateDeliveryTarget;
    context.crashCallbackTarget = params->crashCallbackTarget;
    context.binaryImagePath = EMBDupString(join(directory, "binary_images.embrecord").c_str());
    context.metadataPath = EMBDupString(join(directory, "metadata.embrecord").c_str());
    context.signal.path = EMBDupString(join(directory, "signal.embrecord").c_str());
    context.exception.path = EMBDupString(join(directory, "exception.embrecord").c_str());
    std::string machPath = join(directory, "mach_exception.embrecord");
    EMBMetadata metadata = EMBMetadataFromParameters(*params);
    if (!context.debuggerAttached)
        installSignalStack(context);

    // Logging is ready before this returns, however long the rest takes: what the app logs and the keys
    // the kits write from launch on are kept, not dropped for want of a place to go.
    EMBUserLoggingSetUpStorages(&g_loggingStorages, &g_loggingState, directory, loggingLimits(*params));
    EMBUserLoggingInit(&g_loggingStorages, &g_loggingState);

    auto group = std::make_shared<SetUpGroup>([&context] {
        context.initialized.store(1, std::memory_order_seq_cst);
        if (!EMBAllocatorProtect(g_context.allocator))
            EMBSDKFileLog("%s: Error: Memory protection failed\n", "EMBContextInitialize");
    });
    SetUpGroup::submit(group, [] {
        auto caches = platform::foundation::Files::cachesDirectory();
        EMBHostInitialize(caches ? caches->string() : std::string());
    });
    SetUpGroup::submit(group, [&context] { EMBBinaryImageInit(context.binaryImagePath); });
    if (!context.debuggerAttached) {
        SetUpGroup::submit(group, [&context] {
            EMBThreadSuspensionInstall();
            EMBSignalInitialize(&context.signal);
        });
        // This platform raises every fault as a signal: only a stale record of an older layout goes.
        SetUpGroup::submit(group, [machPath] { EMBUnlinkIfExists(machPath.c_str()); });
        SetUpGroup::submit(group, [&context] { EMBExceptionInitialize(&context.exception); });
    } else {
        EMBSDKFileLog("%s: Debugger present - not installing handlers\n", __func__);
    }
    SetUpGroup::submit(group,
        [&context, metadata = std::move(metadata)] { EMBMetadataWrite(context.metadataPath, metadata); });
    group->close();
    if (!group->waitFor(std::chrono::seconds(5)))
        EMBSDKFileLog("%s: Error: Delayed initialization\n", __func__);
}

bool EMBContextIsInitialized()
{
    std::atomic_thread_fence(std::memory_order_seq_cst);
    EMBReadOnlyContext* context = g_context.readOnly.load(std::memory_order_seq_cst);
    return context != nullptr && context->initialized.load(std::memory_order_seq_cst) != 0;
}

bool EMBContextHasCrashed()
{
    return EMBContextIsInitialized() && g_context.writable->crashed.load(std::memory_order_seq_cst) != 0;
}

void EMBContextMarkHasCrashed()
{
    if (EMBContextIsInitialized())
        g_context.writable->crashed.store(1, std::memory_order_seq_cst);
}

bool EMBContextMarkAndCheckIfCrashed()
{
    // Once the writable part exists the test arbitrates even before set-up has finished, so that two faults
    // never write one file together.
    EMBWritableContext* writable = g_context.writable;
    if (writable == nullptr)
        return false;
    std::uint8_t expected = 0;
    if (!writable->crashed.compare_exchange_strong(expected, 1, std::memory_order_seq_cst))
        return true;
    writable->crashingThread.store(gettid(), std::memory_order_seq_cst);
    return false;
}

void EMBContextCheckHandlers()
{
    EMBReadOnlyContext* context = g_context.readOnly.load();
    if (context == nullptr || context->debuggerAttached != 0)
        return;
    EMBExceptionCheckHandlers();
    EMBSignalCheckHandlers();
}

const char* EMBDupString(const char* text)
{
    if (text == nullptr)
        return nullptr;
    std::size_t length = std::strlen(text);
    auto* copy = static_cast<char*>(EMBAllocatorSafeAllocate(g_context.allocator, length + 1, 0));
    if (copy != nullptr)
        std::memcpy(copy, text, length + 1);
    return copy;
}

}
