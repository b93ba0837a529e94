#include "kit/crash/EMBPackageReportOperation.h"

#include "kit/core/CRNMultipartMimeStreamEncoder.h"
#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBKitLog.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/OutputStream.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>
#include <unistd.h>

namespace kit {

namespace {

constexpr const char* kPackageExtension { "multipartmime" };
constexpr const char* kCompressedExtension { "gz" };
// The largest range handed to one gzwrite().
constexpr std::size_t kWriteRange { 1 << 20 };
// zlib's buffer for a gzip file: large enough that a report's files go out in a few writes.
constexpr unsigned kGzipBufferSize { 256 * 1024 };

const EMBKitLog& log()
{
    static const EMBKitLog shared("[Ember:Crash:Reports]");
    return shared;
}

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

}

EMBPackageReportOperation::EMBPackageReportOperation(
    std::shared_ptr<const EMBInternalReport> report, std::shared_ptr<const EMBFileManager> fileManager)
    : m_report(std::move(report))
    , m_fileManager(std::move(fileManager))
{
}

void EMBPackageReportOperation::main()
{
    m_finalPath.reset();
    auto boundary = CRNMultipartMimeStreamEncoder::generateBoundary();
    auto packagePath = m_fileManager->preparedPath() + "/" + boundary + "." + kPackageExtension;
    auto partialPath = EMBFileManager::temporaryPathFor(packagePath);

    auto stream = std::make_shared<platform::foundation::FileOutputStream>(partialPath);
    CRNMultipartMimeStreamEncoder encoder(stream, boundary);
    bool written = encoder.encode([this](CRNMultipartMimeStreamEncoder& parts) { addParts(parts); });
    if (written && std::rename(partialPath.c_str(), packagePath.c_str()) == 0) {
        m_finalPath = packagePath;
        return;
    }
    log().write("Unable to write the package of " + m_report->path() + ": "
        + (written ? std::strerror(errno) : "a write fell short"));
    std::error_code ignored;
    std::filesystem::remove(partialPath, ignored);
}

void EMBPackageReportOperation::addParts(CRNMultipartMimeStreamEncoder& encoder) const
{
    if (auto key = m_report->APIKey())
        encoder.addValue(*key, "api_key");
    if (!m_report->identifier().empty())
        encoder.addValue(m_report->identifier(), "report_id");
    m_fileManager->enumerateFilesInDirectory(
        m_report->path(), [&](const std::string& path, const std::string& extension) {
            if (extension != kCompressedExtension && !encoder.failed())
                addFilePart(encoder, path);
        });
}

void EMBPackageReportOperation::addFilePart(
    CRNMultipartMimeStreamEncoder& encoder, const std::string& path) const
{
    auto name = fileName(path);
    auto data = platform::foundation::Files::readBytes(path);
    if (!data || data->empty()) {
        EMBSDKFileLog("%s: Error: unable to read data for compression: %s\n", __func__, name.c_str());
        return;
    }
    auto compressedPath = path + "." + kCompressedExtension;
    auto fileNameSent = name + "." + kCompressedExtension;
    if (compressData(*data, compressedPath)) {
        if (auto compressed = platform::foundation::Files::readBytes(compressedPath)) {
            encoder.addFileData(*compressed, fileNameSent, "application/x-gzip", name);
            return;
        }
    }
    EMBSDKFileLog("%s: Error: compression failed for %s\n", __func__, fileName(compressedPath).c_str());
    encoder.addFileData(*data, fileNameSent, "text/plain", name);
}

bool EMBPackageReportOperation::compressData(std::span<const std::uint8_t> data, const std::string& compressedPath)
{
    auto partialPath = EMBFileManager::temporaryPathFor(compressedPath);
    bool written = compressDataInto(data, partialPath)
        && std::rename(partialPath.c_str(), compressedPath.c_str()) == 0;
    if (!written)
        unlink(partialPath.c_str());
    return written;
}

bool EMBPackageReportOperation::compressDataInto(std::span<const std::uint8_t> data, const std::string& path)
{
    gzFile file = gzopen(path.c_str(), "w");
    if (file == nullptr) {
        EMBSDKFileLog("%s: Error: unable to open file for compression %s\n", __func__, std::strerror(errno));
        return false;
    }
    gzbuffer(file, kGzipBufferSize);
    std::size_t offset = 0;
    bool written = true;
    while (written && offset < data.size()) {
        auto range = static_cast<unsigned>(std::min(kWriteRange, data.size() - offset));
        int count = gzwrite(file, data.data() + offset, range);
        if (count <= 0) {
            int number = 0;
            const char* text = gzerror(file, &number);
            EMBSDKFileLog("%s: Error: failed to write compressed bytes %d, %s, %s \n", __func__, number, text,
                std::strerror(errno));
            written = false;
            break;
        }
        offset += static_cast<std::size_t>(count);
    }
    // Closing flushes the last compressed bytes: a failure there leaves the file cut short.
    if (gzclose(file) != Z_OK && written) {
        EMBSDKFileLog("%s: Error: failed to write compressed bytes %d, %s, %s \n", __func__, 0,
            "close failed", std::strerror(errno));
        written = false;
    }
    return written;
}

}
