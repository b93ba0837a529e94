#pragma once

#include "kit/analytics/EMBEventLogFile.h"

namespace kit {

class EMBEventLogEvent;

/// An event log file that takes events, one line each.
class EMBEventLogEventFile final : public EMBEventLogFile {
public:
    /// The file at `url`, opened as EMBEventLogFile::create() opens it; null when it cannot be.
    static std::shared_ptr<EMBEventLogEventFile> create(const std::filesystem::path& url);
    static std::shared_ptr<EMBEventLogEventFile> create(
        std::string_view name, const std::filesystem::path& directory);

    /// Appends the event's line (EMBEventLogEvent::eventData()).
    bool appendEvent(
        const EMBEventLogEvent& event, std::optional<platform::foundation::Error>* error = nullptr);

private:
    explicit EMBEventLogEventFile(std::filesystem::path url);
};

}
