#include "platform/outside/KDRSDKAppEvents.h"

#include "platform/foundation/Clock.h"

#include <mutex>

namespace platform::outside {

namespace {

struct Recorded {
    std::mutex mutex;
    std::vector<foundation::Date> activations;
};

Recorded& recorded()
{
    static Recorded state;
    return state;
}

}

void KDRSDKAppEvents::activateApp()
{
    auto time = foundation::now();
    auto& state = recorded();
    std::lock_guard lock(state.mutex);
    state.activations.push_back(time);
}

std::vector<foundation::Date> KDRSDKAppEvents::activations()
{
    auto& state = recorded();
    std::lock_guard lock(state.mutex);
    return state.activations;
}

void KDRSDKAppEvents::reset()
{
    auto& state = recorded();
    std::lock_guard lock(state.mutex);
    state.activations.clear();
}

}
