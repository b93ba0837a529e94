// Session maintenance of the analytics controller: the chain of steps that closes the open fragment,
// packages, uploads, prunes and cleans the store, and the flush timer that starts it.

#include "kit/analytics/EMBAnalyticsController.h"

#include "kit/analytics/EMBAnalyticsIdentifierGenerator.h"
#include "kit/analytics/EMBAnalyticsLog.h"
#include "kit/analytics/EMBAnalyticsNetworkingClient.h"
#include "kit/analytics/EMBAnalyticsTimestampGenerator.h"
#include "kit/analytics/EMBCompressionGZip.h"
#include "kit/analytics/EMBFileSystemError.h"
#include "kit/core/Cairn.h"
#include "kit/core/EMBUserDefaults.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/DispatchQueue.h"

#include <algorithm>
#include <iterator>

namespace kit {

using platform::foundation::Date;
using platform::foundation::Error;
using Repository = EMBEventLogSessionRepository;

namespace {

void logFailure(const char* what, const std::optional<Error>& error)
{
    if (error)
        EMBAnalyticsLog::progress(std::string(what) + " {" + EMBAnalyticsLog::describe(error) + "}");
}

}

void EMBAnalyticsController::maintainSessionFragments(Completion completion)
{
    // Each continuation holds the controller weakly: an upload under way must not keep it alive.
    auto weak = weak_from_this();
    auto finish = [weak, completion](const std::optional<Error>& error) {
        logFailure("Unable to clean up session repository", error);
        if (auto self = weak.lock())
            self->saveLastMaintenanceDate(platform::foundation::now());
        if (completion)
            completion(std::nullopt);
    };
    auto cleanUp = [weak, finish](const std::optional<Error>& error) {
        logFailure("Unable to prune session fragment log files", error);
        if (auto self = weak.lock())
            self->cleanUpRepository(finish);
    };
    auto prune = [weak, cleanUp](const std::optional<Error>& error) {
        if (error)
            logFailure("Unable to transmit packaged session fragments", error);
        else
            EMBAnalyticsLog::progress("Successfully transmitted packaged session fragments");
        if (auto self = weak.lock())
            self->pruneSessionFragmentLogFiles(cleanUp);
    };
    auto transmit = [weak, prune](const std::optional<Error>& error) {
        logFailure("Unable to package closed session fragments", error);
        if (auto self = weak.lock())
            self->transmitPackagedSessionFragments(prune);
    };
    openNewSessionFragment([weak, transmit](const std::optional<Error>& error) {
        logFailure("Unable to open new session fragment", error);
        if (auto self = weak.lock())
            self->packageClosedSessionFragments(transmit);
    });
}

void EMBAnalyticsController::maintainSessionFragmentsIgnoringError()
{
    maintainSessionFragments(
        [](const std::optional<Error>& error) { logFailure("Unable to maintain session fragments", error); });
}

void EMBAnalyticsController::openNewSessionFragment(Completion completion)
{
    m_sessionMaintenanceQueue->async([self = shared_from_this(), completion] {
        std::optional<Error> error;
        self->prepareNewSessionFragment(
            self->m_identifierGenerator->generateSessionFragmentIdentifier(), self->newTimestamp(), &error);
        completion(error);
    });
}

bool EMBAnalyticsController::isCurrentSessionFragmentDirectory(const Path& directory) const
{
    auto current = currentSessionFragmentDirectoryURL();
    return current && current->lexically_normal() == directory.lexically_normal();
}

void EMBAnalyticsController::packageClosedSessionFragments(Completion completion)
{
    m_sessionMaintenanceQueue->async([self = shared_from_this(), completion] {
        auto& repository = self->m_logSessionRepository;
        std::optional<Error> error;
        if (!repository.purgePrepSessionFragmentDirectoriesForStateName(
                Repository::kPackagedStateName, &error))
            EMBAnalyticsLog::progress("Unable to purge packaged prep session fragments {error = "
                + EMBAnalyticsLog::describe(error) + "}");
        error.reset();
        auto fragments = self->sessionFragmentDirectories(Repository::kActiveStateName, &error);
        if (!fragments)
            return completion(error);
        for (const auto& fragment : *fragments) {
            if (!self->isCurrentSessionFragmentDirectory(fragment)
                && !self->packageSessionFragment(fragment, &error))
                return completion(error);
        }
        completion(std::nullopt);
    });
}

std::optional<std::vector<EMBAnalyticsController::Path>> EMBAnalyticsController::sessionFragmentDirectories(
    const std::string& stateName, std::optional<Error>* error)
{
    auto sessions = m_logSessionRepository.sessionDirectoryURLsForStateName(stateName, error);
    if (!sessions)
        return std::nullopt;
    std::vector<Path> fragments;
    for (const auto& session : *sessions) {
        auto found = m_logSessionRepository.sessionFragmentDirectoryURLsForSessionDirectory(session, error);
        if (!found)
            return std::nullopt;
        fragments.insert(fragments.end(), found->begin(), found->end());
    }
    return fragments;
}

bool EMBAnalyticsController::packageSessionFragment(const Path& fragment, std::optional<Error>* error)
{
    auto& repository = m_logSessionRepository;
    auto prep = repository.prepSessionFragmentDirectoryURLForStateName(
        Repository::kPackagedStateName, fragment, error);
    if (!prep)
        return false;
    auto entries = repository.contentsOfDirectoryURL(fragment, error);
    if (!entries)
        return false;
    for (const auto& entry : *entries) {
        if (!Repository::itemURLHasPathExtensionMatching(entry, Repository::kLogExtension))
            continue;
        auto compressed = *prep / (entry.filename().string() + "." + Repository::kCompressedExtension);
        if (!EMBCompressionGZipFile(entry, compressed))
            return EMBFail(error,
                Error::withDescription(
                    kErrorDomain, kCompressionFailedCode, "Unable to compress " + entry.string()));
    }
    return repository.removePrepStatusFromSessionFragmentDirectoryURL(*prep, error)
        && repository.removeSessionFragmentDirectory(fragment, error);
}

void EMBAnalyticsController::transmitPackagedSessionFragments(Completion completion)
{
    m_sessionMaintenanceQueue->async([self = shared_from_this(), completion] {
        auto url = self->settings().analyticsURL;
        if (!url)
            return completion(Error(kErrorDomain, kNoAnalyticsURLCode));
        if (self->m_sessionFragmentsToTransmit)
            return completion(Error(kErrorDomain, kTransmissionInProgressCode));
        std::optional<Error> error;
        auto found = self->sessionFragmentDirectories(Repository::kPackagedStateName, &error);
        if (!found)
            return completion(error);
        // A fragment still being filled (left so by a packaging that failed) is no package yet: sent now, it
        // would go again, whole, once packaged.
        std::vector<Path> fragments;
        std::copy_if(found->begin(), found->end(), std::back_inserter(fragments),
            [](const Path& fragment) { return !Repository::isPrepDirectoryURL(fragment); });
        self->m_sessionFragmentsToTransmit = std::move(fragments);
        self->transmitNextSessionFragment(*url, completion);
    });
}

void EMBAnalyticsController::transmitNextSessionFragment(const std::string& url, Completion completion)
{
    if (m_sessionFragmentsToTransmit->empty()) {
        m_sessionFragmentsToTransmit.reset();
        completion(std::nullopt);
        return;
    }
    auto fragment = m_sessionFragmentsToTransmit->front();
    EMBAnalyticsLog::progress("Transmitting packaged session fragments in " + fragment.string());
    auto weak = weak_from_this();
    auto next = [weak, fragment, url, completion](const std::optional<Error>& error) {
        auto self = weak.lock();
        if (!self)
            return;
        // The task takes this callback's share, so the controller never goes away inside the callback.
        auto& queue = *self->m_sessionMaintenanceQueue;
        queue.async([self = std::move(self), fragment, url, completion, error] {
            std::optional<Error> failure;
            if (!error && !self->m_logSessionRepository.removeSessionFragmentDirectory(fragment, &failure))
                EMBAnalyticsLog::progress("Unable to delete session fragment directory \"" + fragment.string()
                    + "\" {" + EMBAnalyticsLog::describe(failure) + "}");
            self->m_sessionFragmentsToTransmit->erase(self->m_sessionFragmentsToTransmit->begin());
            self->transmitNextSessionFragment(url, completion);
        });
    };
    std::optional<Error> error;
    auto files = m_logSessionRepository.logFileURLsForSessionFragmentDirectory(fragment, &error);
    if (!files)
        return next(error);
    m_networkingClient->transmitLogFilesAtURLs(*files, url, Cairn::sharedSDK().APIKey().value_or(""), next);
}

void EMBAnalyticsController::pruneSessionFragmentLogFiles(Completion completion)
{
    m_sessionMaintenanceQueue->async(
        [self = shared_from_this(), completion] { completion(self->pruneLogFiles()); });
}

std::optional<Error> EMBAnalyticsController::pruneLogFiles()
{
    auto settings = this->settings();
    if (!settings.haveSettings)
        return std::nullopt;
    std::optional<Error> error;
    auto all = m_logSessionRepository.logFileURLsForAllStates(&error);
    if (!all)
        return error;
    std::vector<Path> files;
    std::copy_if(all->begin(), all->end(), std::back_inserter(files), [this](const Path& file) {
        return !isCurrentSessionFragmentDirectory(Repository::sessionFragmentDirectoryURLForLogFileURL(file));
    });
    auto count = files.size();
    if (count <= settings.maxPendingSendFileCount)
        return std::nullopt;

    // Oldest first within each priority: the directory names begin with their timestamps.
    std::vector<std::vector<Path>> groups(3);
    for (const auto& file : files) {
        int priority = Repository::priorityForEventLogFileWithName(file.filename().string());
        if (priority >= 0)
            groups[static_cast<std::size_t>(priority)].push_back(file);
    }
    for (auto& group : groups)
        std::sort(group.begin(), group.end());
    while (count > settings.maxPendingSendFileCount) {
        // The lowest priority that still has files goes first.
        while (!groups.empty() && groups.back().empty())
            groups.pop_back();
        if (groups.empty())
            return Error(kErrorDomain, kPruningExhaustedCode);
        auto& group = groups.back();
        if (!m_logSessionRepository.removeLogFile(group.front(), &error))
            return error;
        group.erase(group.begin());
        --count;
    }
    return std::nullopt;
}

void EMBAnalyticsController::cleanUpRepository(Completion completion)
{
    m_sessionMaintenanceQueue->async([self = shared_from_this(), completion] {
        std::optional<Error> error;
        self->m_logSessionRepository.cleanUpEventLogRepositoryIgnorningSessionFragmentDirectoryURL(
            self->currentSessionFragmentDirectoryURL(), &error);
        completion(error);
    });
}

Date EMBAnalyticsController::lastMaintenanceDate()
{
    auto store = EMBUserDefaults::standardUserDefaults();
    if (auto date = store->objectForKey(kLastMaintenanceDateKey).date())
        return *date;
    auto now = platform::foundation::now();
    saveLastMaintenanceDate(now);
    return now;
}

void EMBAnalyticsController::saveLastMaintenanceDate(Date date)
{
    auto store = EMBUserDefaults::standardUserDefaults();
    store->setObject(kLastMaintenanceDateKey, date);
    store->synchronize();
}

void EMBAnalyticsController::scheduleSessionMaintenance()
{
    cancelTimer();
    auto settings = this->settings();
    if (!settings.analyticsFeatureSwitchEnabled() || settings.flushIntervalSecs == 0)
        return;
    double interval = settings.flushIntervalSecs;
    double sinceLast = platform::foundation::now().secondsSince(lastMaintenanceDate());
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(m_timerMutex);
        generation = m_timerGeneration;
    }
    armTimer(std::max(0.0, interval - sinceLast), interval, generation);
}

void EMBAnalyticsController::cancelTimer()
{
    std::lock_guard lock(m_timerMutex);
    ++m_timerGeneration;
    if (m_timerTask)
        platform::foundation::mainQueue().cancel(*m_timerTask);
    m_timerTask.reset();
}

void EMBAnalyticsController::armTimer(double delay, double interval, std::uint64_t generation)
{
    auto& mainQueue = platform::foundation::mainQueue();
    auto task = mainQueue.after(delay, [weak = weak_from_this(), interval, generation] {
        auto self = weak.lock();
        if (!self)
            return;
        {
            std::lock_guard lock(self->m_timerMutex);
            if (self->m_timerGeneration != generation)
                return;
        }
        self->armTimer(interval, interval, generation);
        self->m_sessionMaintenanceQueue->async([self] { self->maintainSessionFragmentsIgnoringError(); });
    });
    std::lock_guard lock(m_timerMutex);
    if (m_timerGeneration == generation)
        m_timerTask = task;
    else
        mainQueue.cancel(task);
}

}
