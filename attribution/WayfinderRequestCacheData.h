#pragma once

#include <string>

namespace attribution {

/// One launch or event request, as sent and as kept in the retry cache.
struct WayfinderRequestCacheData {
    WayfinderRequestCacheData() = default;
    /// A request to `url` (unescaped) with the scrambled body text `postData` (without "data="), made by
    /// `version`.
    WayfinderRequestCacheData(std::string url, std::string postData, std::string version)
        : sdkVersion(std::move(version))
        , requestURL(std::move(url))
        , postData(std::move(postData))
    {
    }

    std::string sdkVersion;
    std::string requestURL;
    std::string postData;
    /// The cache file's name, for a request read from the cache.
    std::string cacheKey;
};

}
