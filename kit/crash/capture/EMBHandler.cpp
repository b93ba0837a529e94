#include "kit/crash/capture/EMBHandler.h"

#include "kit/crash/capture/EMBContext.h"
#include "kit/crash/capture/EMBHost.h"
#include "kit/crash/capture/EMBProcess.h"
#include "kit/crash/capture/EMBProcessRecords.h"
#include "kit/crash/capture/EMBSDKLog.h"

#include <dlfcn.h>

namespace kit {

void EMBHandler(EMBFile* file, pid_t crashedThread, const ucontext_t* signalContext)
{
    EMBProcess process;
    EMBProcessInit(&process, crashedThread, signalContext);
    EMBProcessRequestSuspensionOfOtherThreads(&process);
    EMBProcessReadAhead(&process);
    EMBProcessRecordAllThreads(&process, file);
    EMBProcessRecordRuntimeInfo(&process, file);
    EMBProcessRecordDispatchQueueNames(&process, file);
    EMBProcessRecordThreadNames(&process, file);
    EMBProcessRecordStats(&process, file);
    EMBHostWriteDiskUsage(file);
    EMBProcessResumeAllOtherThreads(&process);
    EMBProcessDestroy(&process);

    EMBReadOnlyContext* context = EMBCurrentContext().readOnly.load();
    if (context != nullptr && context->crashCallbackTarget != nullptr) {
        EMBSDKFileLog("%s: Performing syncrhonous crash callback - hold onto your butts\n", __func__);
        context->crashCallbackTarget->deliverCrashDelegateCallback();
    }
}

void EMBHandlerAttemptImmediateDelivery()
{
    EMBReadOnlyContext* context = EMBCurrentContext().readOnly.load();
    if (context != nullptr && context->immediateDeliveryTarget != nullptr)
        context->immediateDeliveryTarget->potentiallySubmittableCrashOccurred();
}

void EMBLookupFunctionPointer(
    const void* address, const std::function<void(const char* symbol, const char* image)>& block)
{
    Dl_info info {};
    if (dladdr(address, &info) == 0) {
        block(nullptr, nullptr);
        return;
    }
    block(info.dli_sname != nullptr ? info.dli_sname : "unknown",
        info.dli_fname != nullptr && info.dli_fname[0] != '\0' ? info.dli_fname : "unknown");
}

}
