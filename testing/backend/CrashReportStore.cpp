#include "testing/backend/CrashReportStore.h"

#include "platform/foundation/Dictionary.h"
#include "testing/backend/MultipartForm.h"
#include "testing/backend/Text.h"

#include <zlib.h>

#include <algorithm>
#include <string>

namespace testing {

using platform::foundation::Dictionary;
using platform::foundation::Value;

namespace {

// Whether a part's content type names gzip data, as a kit labels its compressed record files.
bool isGzipType(std::string_view contentType)
{
    auto type = lowercase(trimmed(contentType.substr(0, contentType.find(';'))));
    return type == "application/x-gzip" || type == "application/gzip";
}

}

const CrashReport::File* CrashReport::file(std::string_view name) const
{
    auto found
        = std::find_if(files.begin(), files.end(), [&](const File& file) { return file.name == name; });
    return found == files.end() ? nullptr : &*found;
}

std::optional<std::string> CrashReportStore::gunzip(std::string_view data)
{
    z_stream stream {};
    // 16 + the largest window: the gzip wrapper only.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string inflated;
    char buffer[64 * 1024];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        inflated.append(buffer, sizeof buffer - stream.avail_out);
    }
    bool whole = status == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    return whole ? std::optional(std::move(inflated)) : std::nullopt;
}

BackendReply CrashReportStore::storeReport(const ServerRequest& request)
{
    auto form = MultipartForm::parse(request.header("Content-Type").value_or(""), request.body);
    if (!form)
        return BackendReply::error(400, "BadRequestError", "The body is no multipart form of its boundary");

    CrashReport report;
    report.platform = request.parameter("platform");
    report.app = request.parameter("app");
    for (auto& part : form->parts) {
        if (!part.fileName) {
            if (part.name == "report_id")
                report.reportId = part.body;
            else if (part.name == "api_key")
                report.apiKey = part.body;
            continue;
        }
        auto contentType = part.contentType.value_or("");
        auto data = std::move(part.body);
        if (isGzipType(contentType)) {
            auto inflated = gunzip(data);
            if (!inflated)
                return BackendReply::error(
                    400, "BadRequestError", "The part " + part.name + " does not inflate");
            data = std::move(*inflated);
        }
        report.files.push_back({ part.name, *part.fileName, contentType, std::move(data) });
    }

    auto answer = Dictionary::make({ { "report_id", report.reportId ? Value(*report.reportId) : Value() },
        { "files", static_cast<std::int64_t>(report.files.size()) } });
    Observer observer;
    {
        std::lock_guard lock(m_mutex);
        m_reports.push_back(report);
        observer = m_observer;
    }
    if (observer)
        observer(report);
    auto reply = BackendReply::ok(answer);
    reply.status = 201;
    return reply;
}

std::vector<CrashReport> CrashReportStore::reports() const
{
    std::lock_guard lock(m_mutex);
    return m_reports;
}

std::vector<CrashReport> CrashReportStore::reportsWithIdentifier(std::string_view identifier) const
{
    std::lock_guard lock(m_mutex);
    std::vector<CrashReport> found;
    std::copy_if(m_reports.begin(), m_reports.end(), std::back_inserter(found),
        [&](const CrashReport& report) { return report.reportId == identifier; });
    return found;
}

void CrashReportStore::setObserver(Observer observer)
{
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}

}
