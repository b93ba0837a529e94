#include "Zorvik/Models/OstrelSingleton.h"

#include "Zorvik/Models/BuildSettings.h"
#include "platform/outside/APIConfiguration.h"

#include <mutex>

namespace zorvik {

namespace {

struct Holder {
    std::mutex mutex;
    std::shared_ptr<platform::outside::APIConfiguration> apiConfig;
};

Holder& holder()
{
    static Holder shared;
    return shared;
}

}

OstrelSingleton::OstrelSingleton(std::string baseUrl)
    : m_baseUrl(std::move(baseUrl))
{
}

std::shared_ptr<platform::outside::APIConfiguration> OstrelSingleton::apiConfig()
{
    auto& shared = holder();
    std::lock_guard lock(shared.mutex);
    if (!shared.apiConfig)
        shared.apiConfig
            = std::make_shared<platform::outside::APIConfiguration>(BuildSettings::configurationUrl());
    return shared.apiConfig;
}

void OstrelSingleton::setApiConfig(std::shared_ptr<platform::outside::APIConfiguration> apiConfig)
{
    auto& shared = holder();
    std::lock_guard lock(shared.mutex);
    shared.apiConfig = std::move(apiConfig);
}

}
