#include "conversion/ACTApplication.h"

#include "conversion/ACTAutomatedUsageTracker.h"
#include "conversion/ACTPingRetryScheduler.h"
#include "conversion/ACTPinger.h"
#include "conversion/ACTPingerStore.h"

#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionEngine.h"

#include <mutex>

namespace conversion {

namespace {

std::mutex sharedMutex;
std::shared_ptr<ACTApplication> shared;

}

std::shared_ptr<ACTApplication> ACTApplication::sharedApplication()
{
    std::shared_ptr<ACTApplication> application;
    {
        std::lock_guard lock(sharedMutex);
        if (shared)
            return shared;
        shared = std::make_shared<ACTApplication>();
        application = shared;
    }
    application->m_retryScheduler->retryQueue().addPingersFromSet(application->m_pingerStore->allPingers());
    platform::foundation::mainQueue().async([weak = std::weak_ptr(application->m_retryScheduler)] {
        if (auto scheduler = weak.lock())
            scheduler->startScheduling();
    });
    return application;
}

void ACTApplication::resetSharedApplication()
{
    std::shared_ptr<ACTApplication> dropped;
    std::lock_guard lock(sharedMutex);
    dropped = std::move(shared);
}

ACTApplication::ACTApplication()
    : m_automatedUsageTracker(std::make_shared<ACTAutomatedUsageTracker>())
    , m_retryScheduler(std::make_shared<ACTPingRetryScheduler>())
    , m_pingerStore(ACTPingerStore::makeFromStorage())
    , m_sessionEngine(std::make_shared<platform::http::SessionEngine>())
{
}

ACTApplication::~ACTApplication() = default;

}
