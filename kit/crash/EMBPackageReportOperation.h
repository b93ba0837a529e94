#pragma once

#include "platform/foundation/Operation.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace kit {

class CRNMultipartMimeStreamEncoder;
class EMBFileManager;
class EMBInternalReport;

/// Packs one report directory into one upload package in the prepared directory: a whole multipart/form-data
/// body named by its boundary ("<boundary>.multipartmime"), holding the report's "api_key" and "report_id"
/// and each record file gzip-compressed ("<name>.gz" beside it first, with zlib's gz calls).
///
/// The package is written under a "." name and renamed into place once whole, so prepared never shows a
/// package cut short: when writing fails, the partial file is removed (logged) and finalPath() stays empty,
/// with the report directory untouched. A file that does not compress goes in as it stands ("text/plain");
/// an empty or unreadable one is left out. Run it with start() (synchronously).
class EMBPackageReportOperation final : public platform::foundation::Operation {
public:
    EMBPackageReportOperation(
        std::shared_ptr<const EMBInternalReport> report, std::shared_ptr<const EMBFileManager> fileManager);

    /// Builds the package and sets finalPath().
    void main() override;

    /// The finished package; nullopt until one is whole.
    const std::optional<std::string>& finalPath() const { return m_finalPath; }

    /// Writes `data` gzip-compressed (default level) into `compressedPath`, under a "." name renamed into
    /// place when whole; false (in the SDK log) when the file cannot be opened, written or closed, and then
    /// nothing is left.
    static bool compressData(std::span<const std::uint8_t> data, const std::string& compressedPath);

private:
    static bool compressDataInto(std::span<const std::uint8_t> data, const std::string& path);
    /// Adds the value parts and one file part per record file.
    void addParts(CRNMultipartMimeStreamEncoder& encoder) const;
    void addFilePart(CRNMultipartMimeStreamEncoder& encoder, const std::string& path) const;

    std::shared_ptr<const EMBInternalReport> m_report;
    std::shared_ptr<const EMBFileManager> m_fileManager;
    std::optional<std::string> m_finalPath;
};

}
