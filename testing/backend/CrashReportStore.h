#pragma once

#include "testing/backend/BackendReply.h"
#include "testing/server/ServerRequest.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing {

/// One crash report as the kit service received it.
struct CrashReport {
    /// A file part, its bytes inflated when it was sent gzip-compressed.
    struct File {
        std::string name;
        std::string fileName;
        std::string contentType;
        std::string data;
    };

    /// The "report_id" and "api_key" value parts; nullopt when the package had none.
    std::optional<std::string> reportId;
    std::optional<std::string> apiKey;
    /// The URL's platform and app bundle identifier.
    std::string platform;
    std::string app;
    /// The file parts in the order sent.
    std::vector<File> files;

    /// The first file part named `name`, or null.
    const File* file(std::string_view name) const;
};

/// The crash report route of the kit service:
///
///   POST /sdk-api/v1/platforms/{p}/apps/{app}/reports    a multipart/form-data package -> 201
///        {"report_id": id or null, "files": count}
///
/// (The back-end answers 401 first for a key the kit service refuses, KitService::refusedKey().) 400 for a
/// body that is no multipart form with the boundary of its "Content-Type", or an "application/x-gzip" part
/// (the type compared ignoring case, "application/gzip" taken alike) that does not inflate. Every accepted
/// package is kept, in arrival order, so that a report sent twice is there twice. Thread-safe: the route runs
/// on the server's threads while a test reads the reports.
class CrashReportStore {
public:
    /// Told of each report as it is stored, on the server's thread.
    using Observer = std::function<void(const CrashReport& report)>;

    /// The route (see the class comment).
    BackendReply storeReport(const ServerRequest& request);

    /// The reports received, oldest first.
    std::vector<CrashReport> reports() const;
    /// The reports whose "report_id" is `identifier`, oldest first.
    std::vector<CrashReport> reportsWithIdentifier(std::string_view identifier) const;
    /// Sets who is told of each stored report, or none when empty.
    void setObserver(Observer observer);

    /// `data` inflated from the gzip format, or nullopt when it is not whole gzip data.
    static std::optional<std::string> gunzip(std::string_view data);

private:
    mutable std::mutex m_mutex;
    std::vector<CrashReport> m_reports;
    Observer m_observer;
};

}
