#include "kit/analytics/EMBAnalyticsIdentifierGenerator.h"

#include "kit/core/CRNDataHelpers.h"

namespace kit {

std::string EMBAnalyticsIdentifierGenerator::generateSessionFragmentIdentifier()
{
    return CRNGenerateUUID();
}

std::string EMBAnalyticsIdentifierGenerator::generateEventIdentifier()
{
    return CRNGenerateUUID();
}

}
