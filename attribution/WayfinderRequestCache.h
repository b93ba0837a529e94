#pragma once

#include "attribution/WayfinderRequestCacheData.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace attribution {

/// The launch and event requests that did not reach the service, kept as small text files in the caches
/// folder ("WayfinderCache") and sent again behind the next request that does:
///
///     <seconds since 2001-01-01 UTC, six decimals>.af     "version=<v>\nurl=<url>\ndata=<post data>"
///
/// At most kMaximumFiles files are kept; a request that finds the folder full is dropped. A replay sends the
/// files one after another, each to its URL with "&timeincache=<seconds>" added; a file leaves the cache
/// when its request got any answer, or failed after another version made it. One replay runs at a time,
/// from its start until its last request has ended, so that no file is sent twice. Thread-safe.
class WayfinderRequestCache {
public:
    /// The version whose requests a failed replay keeps.
    static constexpr const char* kSDKVersion { "3.0" };
    /// A request is not written when the folder holds this many entries or more.
    static constexpr std::size_t kMaximumFiles { 41 };
    /// Seconds from a live request's success to the start of the replay it sets off.
    static constexpr double kReplayDelay { 0.1 };
    /// Seconds from 1970 to the platform's reference date, 1 January 2001.
    static constexpr double kReferenceDate { 978307200 };

    /// The one cache of the process.
    static WayfinderRequestCache& instance();

    /// The cache folder, made when first asked for; nullopt when it could not be made (that time).
    std::optional<std::filesystem::path> getCacheDirectoryPath();
    /// The number of entries in the cache folder.
    std::size_t getCacheSize();
    /// The number of entries in `directory`, 0 when it cannot be listed.
    static std::size_t getCacheSize(const std::filesystem::path& directory);

    /// Writes `request` to a new file, unless the cache is full.
    void cacheRequest(const std::shared_ptr<WayfinderRequestCacheData>& request);
    /// The requests of the well-formed files, in the file system's order.
    std::vector<std::shared_ptr<WayfinderRequestCacheData>> getCachedRequests();
    /// Starts a replay of the files, after 0.1 s on the main queue, unless one is running (its last request
    /// may still be under way while its list is empty).
    void processCache();
    /// Sends the next request of the replay; the replay ends when none is left, which the completion of its
    /// last request finds.
    void sendNextCachedEvents();
    /// Sends `request` as a cached one; a send that cannot start moves the replay on.
    void sendCachedRequest(const std::shared_ptr<WayfinderRequestCacheData>& request);
    /// Removes the file of `request`.
    void deleteRequest(const WayfinderRequestCacheData& request);

    /// Forgets the folder and the replay list: for tests, which change the home folder.
    void reset();

private:
    WayfinderRequestCache() = default;

    std::mutex m_mutex;
    std::optional<std::filesystem::path> m_cacheDirectoryPath;
    std::vector<std::shared_ptr<WayfinderRequestCacheData>> m_cachedRequests;
    // From the start of a replay until the completion of its last request finds the list empty.
    bool m_replaying { false };
};

}
