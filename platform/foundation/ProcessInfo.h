#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace platform::foundation {

/// The process's activities: work under way that the program must let finish before it exits (a crash report
/// being packaged, say). The program's exit waits for waitUntilActivitiesEnd(). Thread-safe.
class ProcessInfo {
public:
    /// Options of an activity (the platform's values), kept with it.
    static constexpr std::uint64_t kActivitySuddenTerminationDisabled { 1ULL << 14 };
    static constexpr std::uint64_t kActivityAutomaticTerminationDisabled { 1ULL << 15 };

    /// The process's one instance.
    static ProcessInfo& processInfo();

    /// Begins an activity and answers its token (never 0).
    std::uint64_t beginActivity(std::uint64_t options, const std::string& reason);
    /// Ends the activity of `token`; an unknown token (or 0) is ignored.
    void endActivity(std::uint64_t token);
    /// How many activities have begun and not ended.
    std::size_t activityCount() const;
    /// Returns once no activity is under way.
    void waitUntilActivitiesEnd() const;

private:
    ProcessInfo() = default;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_ended;
    std::uint64_t m_lastToken { 0 };
    // The reasons of the activities under way, by token.
    std::map<std::uint64_t, std::string> m_activities;
};

}
