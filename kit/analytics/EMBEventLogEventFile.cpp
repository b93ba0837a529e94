#include "kit/analytics/EMBEventLogEventFile.h"

#include "kit/analytics/EMBEventLogEvent.h"

namespace kit {

EMBEventLogEventFile::EMBEventLogEventFile(std::filesystem::path url)
    : EMBEventLogFile(std::move(url))
{
}

std::shared_ptr<EMBEventLogEventFile> EMBEventLogEventFile::create(const std::filesystem::path& url)
{
    return prepared(std::shared_ptr<EMBEventLogEventFile>(new EMBEventLogEventFile(url)));
}

std::shared_ptr<EMBEventLogEventFile> EMBEventLogEventFile::create(
    std::string_view name, const std::filesystem::path& directory)
{
    return create(directory / name);
}

bool EMBEventLogEventFile::appendEvent(
    const EMBEventLogEvent& event, std::optional<platform::foundation::Error>* error)
{
    return appendData(event.eventData(), error);
}

}
