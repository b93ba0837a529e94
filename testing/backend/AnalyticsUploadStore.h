#pragma once

#include "testing/backend/BackendReply.h"
#include "testing/server/ServerRequest.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing {

/// One upload of analytics event logs as the kit service received it.
struct AnalyticsUpload {
    /// A log file part, its bytes inflated when they were gzip data.
    struct File {
        std::string name;
        std::string fileName;
        std::string contentType;
        std::string data;
    };

    /// The "X-Ember-API-Key" header sent.
    std::string apiKey;
    /// Every header sent, ordered by name.
    ServerRequest::Pairs headers;
    /// The URL's platform and app bundle identifier.
    std::string platform;
    std::string app;
    /// The file parts in the order sent.
    std::vector<File> files;

    /// The first header `name` sent (case-insensitive), or nullopt.
    std::optional<std::string> header(std::string_view name) const;
};

/// The analytics upload route of the kit service, the URL its settings give as "analytics"."url":
///
///   POST /sdk-api/v1/platforms/{p}/apps/{app}/analytics    a multipart/form-data body of log files -> 200
///        {"files": count}
///
/// (The back-end answers 401 first for a key the kit service refuses, KitService::refusedKey().) 400 for a
/// body that is no multipart form with the boundary of its "Content-Type". The kit sends one upload per
/// packaged session fragment: a file part per log file, named by the file ("1.log.zip") in both its field
/// and file name, of type "application/vnd.ember.ios.events", holding the gzip of the file's event-log lines
/// (a fragment without files sends a form without parts). A part that inflates is kept inflated, any other
/// as sent. Every upload is kept, in arrival order, with the headers it came with (the kit's client and
/// developer-token headers). Thread-safe: the route runs on the server's threads while a test reads
/// the uploads.
class AnalyticsUploadStore {
public:
    /// The path of the route for `platform` and `app`.
    static std::string path(const std::string& platform, const std::string& app);

    /// The route (see the class comment).
    BackendReply storeUpload(const ServerRequest& request);

    /// The uploads received, oldest first.
    std::vector<AnalyticsUpload> uploads() const;

private:
    mutable std::mutex m_mutex;
    std::vector<AnalyticsUpload> m_uploads;
};

}
