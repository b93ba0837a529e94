#include "testing/backend/AnalyticsUploadStore.h"

#include "platform/foundation/Dictionary.h"
#include "testing/backend/CrashReportStore.h"
#include "testing/backend/MultipartForm.h"

namespace testing {

std::optional<std::string> AnalyticsUpload::header(std::string_view name) const
{
    ServerRequest sent;
    sent.headers = headers;
    return sent.header(name);
}

std::string AnalyticsUploadStore::path(const std::string& platform, const std::string& app)
{
    return "/sdk-api/v1/platforms/" + platform + "/apps/" + app + "/analytics";
}

BackendReply AnalyticsUploadStore::storeUpload(const ServerRequest& request)
{
    auto form = MultipartForm::parse(request.header("Content-Type").value_or(""), request.body);
    if (!form)
        return BackendReply::error(400, "BadRequestError", "The body is no multipart form of its boundary");

    AnalyticsUpload upload;
    upload.apiKey = request.header("X-Ember-API-Key").value_or("");
    upload.headers = request.headers;
    upload.platform = request.parameter("platform");
    upload.app = request.parameter("app");
    for (auto& part : form->parts) {
        if (!part.fileName)
            continue;
        auto inflated = CrashReportStore::gunzip(part.body);
        upload.files.push_back({ part.name, *part.fileName, part.contentType.value_or(""),
            inflated ? std::move(*inflated) : std::move(part.body) });
    }
    auto count = static_cast<std::int64_t>(upload.files.size());
    {
        std::lock_guard lock(m_mutex);
        m_uploads.push_back(std::move(upload));
    }
    return BackendReply::ok(platform::foundation::Dictionary::make({ { "files", count } }));
}

std::vector<AnalyticsUpload> AnalyticsUploadStore::uploads() const
{
    std::lock_guard lock(m_mutex);
    return m_uploads;
}

}
