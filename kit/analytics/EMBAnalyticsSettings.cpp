#include "kit/analytics/EMBAnalyticsSettings.h"

#include "platform/foundation/Dictionary.h"

namespace kit {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

EMBAnalyticsSettings EMBAnalyticsSettings::fromSettingsDictionary(const DictionaryRef& settings)
{
    EMBAnalyticsSettings read;
    if (!settings)
        return read;
    auto features = settings->get("features").dictionary();
    auto analytics = settings->get("analytics").dictionary();
    if (!analytics)
        analytics = Dictionary::make();
    read.haveSettings = true;
    read.shouldCollectAnalytics = features && features->get("collect_analytics").boolValue();
    auto url = analytics->get(kURLKey);
    if (url.string() && !url.string()->empty())
        read.analyticsURL = *url.string();
    read.shouldTrackViewControllers = analytics->get(kTrackViewControllersKey).boolValue();
    read.shouldFlushOnBackground = analytics->get(kFlushOnBackgroundKey).boolValue();
    read.maxByteSizePerFile
        = static_cast<std::uint64_t>(analytics->get(kMaxByteSizePerFileKey).integerValue());
    read.flushIntervalSecs = static_cast<std::uint32_t>(analytics->get(kFlushIntervalSecsKey).integerValue());
    read.maxPendingSendFileCount
        = static_cast<std::uint32_t>(analytics->get(kMaxPendingSendFileCountKey).integerValue());
    read.trackCustomEvents = analytics->get(kTrackCustomEventsKey).boolValue();
    read.trackPredefinedEvents = analytics->get(kTrackPredefinedEventsKey).boolValue();
    read.samplingRate = analytics->get(kSamplingRateKey).integerValue();
    return read;
}

}
