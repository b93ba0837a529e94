#include "attribution/WayfinderRequestCache.h"

#include "attribution/WayfinderServerHandler.h"
#include "attribution/WayfinderTracker.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace attribution {

namespace fs = std::filesystem;

namespace {

platform::foundation::Log log()
{
    return platform::foundation::Log();
}

double sinceReferenceDate()
{
    return platform::foundation::now().secondsSince1970 - WayfinderRequestCache::kReferenceDate;
}

std::string trimmed(std::string text)
{
    auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}

WayfinderRequestCache& WayfinderRequestCache::instance()
{
    // Never destroyed: a request's completion may still reach it while the process ends.
    static auto* cache = new WayfinderRequestCache;
    return *cache;
}

std::optional<fs::path> WayfinderRequestCache::getCacheDirectoryPath()
{
    std::lock_guard lock(m_mutex);
    if (m_cacheDirectoryPath)
        return m_cacheDirectoryPath;
    auto caches = platform::foundation::Files::cachesDirectory().value_or(
        platform::foundation::Files::homeDirectory() / "Library" / "Caches");
    m_cacheDirectoryPath = caches / "WayfinderCache";
    std::error_code error;
    if (!fs::exists(*m_cacheDirectoryPath, error) && !fs::create_directory(*m_cacheDirectoryPath, error)) {
        log().write("[WayfinderCache Directory] " + error.message());
        return std::nullopt;
    }
    if (WayfinderTracker::sharedTracker().isDebug())
        log().write("cache dir: " + m_cacheDirectoryPath->string());
    return m_cacheDirectoryPath;
}

std::size_t WayfinderRequestCache::getCacheSize()
{
    auto directory = getCacheDirectoryPath();
    return directory ? getCacheSize(*directory) : 0;
}

std::size_t WayfinderRequestCache::getCacheSize(const fs::path& directory)
{
    std::error_code error;
    std::size_t count = 0;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end; entry.increment(error))
        ++count;
    return error ? 0 : count;
}

void WayfinderRequestCache::cacheRequest(const std::shared_ptr<WayfinderRequestCacheData>& request)
{
    if (!request)
        return;
    auto directory = getCacheDirectoryPath();
    if (!directory) {
        std::lock_guard lock(m_mutex);
        directory = m_cacheDirectoryPath;
    }
    auto size = getCacheSize(*directory);
    if (size >= kMaximumFiles) {
        log().write("Cache reached limit - not caching request....");
        return;
    }
    if (WayfinderTracker::sharedTracker().isDebug())
        log().write("Caching request...(cache size: " + std::to_string(size) + ")");
    char name[64];
    std::snprintf(name, sizeof name, "%f.af", sinceReferenceDate());
    auto path = *directory / name;
    auto content
        = "version=" + request->sdkVersion + "\nurl=" + request->requestURL + "\ndata=" + request->postData;
    if (!platform::foundation::Files::writeText(path, content) && WayfinderTracker::sharedTracker().isDebug())
        log().write("Error writing file at " + path.string() + "\nthe file could not be written");
}

std::vector<std::shared_ptr<WayfinderRequestCacheData>> WayfinderRequestCache::getCachedRequests()
{
    std::vector<std::shared_ptr<WayfinderRequestCacheData>> requests;
    auto directory = getCacheDirectoryPath();
    if (!directory)
        return requests;
    std::error_code error;
    for (fs::directory_iterator entry(*directory, error), end; !error && entry != end;
         entry.increment(error)) {
        auto text = platform::foundation::Files::readText(entry->path());
        if (!text)
            continue;
        auto request = std::make_shared<WayfinderRequestCacheData>();
        std::size_t start = 0;
        while (start <= text->size()) {
            auto stop = std::min(text->find('\n', start), text->size());
            auto line = text->substr(start, stop - start);
            start = stop + 1;
            if (line.starts_with("url=")) {
                auto written = std::strtod(entry->path().stem().c_str(), nullptr);
                char inCache[64];
                std::snprintf(inCache, sizeof inCache, "&timeincache=%f", sinceReferenceDate() - written);
                request->requestURL = trimmed(line.substr(4)) + inCache;
            } else if (line.starts_with("version=")) {
                request->sdkVersion = trimmed(line.substr(8));
            } else if (line.starts_with("data=")) {
                request->postData = trimmed(line.substr(5));
            }
        }
        if (request->requestURL.empty() || request->postData.empty())
            continue;
        request->cacheKey = entry->path().filename().string();
        requests.push_back(std::move(request));
    }
    return requests;
}

void WayfinderRequestCache::processCache()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_replaying)
            return;
    }
    auto requests = getCachedRequests();
    {
        std::lock_guard lock(m_mutex);
        if (m_replaying)
            return;
        m_cachedRequests = std::move(requests);
        if (WayfinderTracker::sharedTracker().isDebug())
            log().write("Cache size " + std::to_string(m_cachedRequests.size()));
        if (m_cachedRequests.empty())
            return;
        m_replaying = true;
    }
    platform::foundation::mainQueue().after(kReplayDelay, [this] { sendNextCachedEvents(); });
}

void WayfinderRequestCache::sendNextCachedEvents()
{
    std::shared_ptr<WayfinderRequestCacheData> next;
    {
        std::lock_guard lock(m_mutex);
        if (m_cachedRequests.empty()) {
            m_replaying = false;
            return;
        }
        next = m_cachedRequests.front();
        m_cachedRequests.erase(m_cachedRequests.begin());
    }
    sendCachedRequest(next);
}

void WayfinderRequestCache::sendCachedRequest(const std::shared_ptr<WayfinderRequestCacheData>& request)
{
    try {
        WayfinderServerHandler::sendRequestEventToServer(
            request, true, WayfinderTracker::sharedTracker().isDebug(), -1, nullptr);
    } catch (const std::exception&) {
        log().write("failed to start connection " + request->requestURL);
        sendNextCachedEvents();
    }
}

void WayfinderRequestCache::deleteRequest(const WayfinderRequestCacheData& request)
{
    auto directory = getCacheDirectoryPath();
    if (!directory || request.cacheKey.empty())
        return;
    auto path = *directory / request.cacheKey;
    std::error_code error;
    if (!fs::remove(path, error))
        log().write("Error deleting file at " + path.string() + "\n"
            + (error ? error.message() : std::string("no such file")));
}

void WayfinderRequestCache::reset()
{
    std::lock_guard lock(m_mutex);
    m_cacheDirectoryPath.reset();
    m_cachedRequests.clear();
    m_replaying = false;
}

}
