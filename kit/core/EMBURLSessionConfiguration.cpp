#include "kit/core/EMBURLSessionConfiguration.h"

namespace kit {

std::shared_ptr<EMBURLSessionConfiguration> EMBURLSessionConfiguration::defaultSessionConfiguration()
{
    return std::make_shared<EMBURLSessionConfiguration>();
}

std::shared_ptr<EMBURLSessionConfiguration> EMBURLSessionConfiguration::ephemeralSessionConfiguration()
{
    return defaultSessionConfiguration();
}

std::shared_ptr<EMBURLSessionConfiguration>
EMBURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier(std::string_view)
{
    return nullptr;
}

void EMBURLSessionConfiguration::setHTTPAdditionalHeaders(platform::http::Task::Headers headers)
{
    m_HTTPAdditionalHeaders = std::move(headers);
}

std::shared_ptr<EMBURLSessionConfiguration> EMBURLSessionConfiguration::copy() const
{
    auto copied = std::make_shared<EMBURLSessionConfiguration>();
    copied->m_HTTPAdditionalHeaders = m_HTTPAdditionalHeaders;
    return copied;
}

}
