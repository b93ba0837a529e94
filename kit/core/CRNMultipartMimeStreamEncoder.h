#pragma once

#include "platform/foundation/OutputStream.h"
#include "platform/foundation/Value.h"
#include "platform/http/UrlRequest.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kit {

/// Writes a multipart/form-data body onto an output stream and counts the bytes written, so that the caller
/// can set "Content-Type" and "Content-Length".
///
/// One encode() writes "MIME-Version: 1.0", the parts its block adds, and the closing boundary; lines end
/// in CR LF. When the stream accepts fewer bytes than given, the encoder logs so, writes nothing more and
/// encode() answers false: the body is cut and must not be sent.
class CRNMultipartMimeStreamEncoder {
public:
    using Parts = std::function<void(CRNMultipartMimeStreamEncoder& encoder)>;

    /// A new boundary: a new UUID's text.
    static std::string generateBoundary();

    /// An encoder onto `stream` with `boundary`, or a generated one when none is given.
    explicit CRNMultipartMimeStreamEncoder(
        std::shared_ptr<platform::foundation::OutputStream> stream, std::optional<std::string> boundary = {});

    /// Encodes the parts `parts` adds into memory with a new boundary and makes them `request`'s body, with
    /// its "Content-Type" and "Content-Length". Answers false, leaving the request as it was, when the
    /// encoding failed.
    static bool populateRequest(platform::http::UrlRequest& request, const Parts& parts);

    /// Opens the stream, writes the header, runs `parts`, writes the footer and closes the stream. Answers
    /// true when every byte was written.
    bool encode(const Parts& parts);

    /// Writes a text part named `fieldName` holding the value's text (a number as its decimal text);
    /// nothing for a null value.
    void addValue(const platform::foundation::Value& value, std::string_view fieldName);

    /// Writes a file part named `fieldName` with `fileName`, of `mimeType` (sent as binary) or, without
    /// one, "application/octet-stream".
    void addFileData(std::span<const std::uint8_t> data, std::string_view fileName,
        std::optional<std::string_view> mimeType, std::string_view fieldName);

    /// Reads the file at `path` and adds it as addFileData() does; false (nothing written) when it cannot
    /// be read.
    bool addFile(const std::filesystem::path& path, std::string_view fileName,
        std::optional<std::string_view> mimeType, std::string_view fieldName);

    /// "multipart/form-data; boundary=<boundary>".
    std::string contentTypeHTTPHeaderValue() const
    {
        return contentTypeHTTPHeaderValueWithBoundary(m_boundary);
    }
    static std::string contentTypeHTTPHeaderValueWithBoundary(std::string_view boundary);
    /// length() in decimal: read it after encode() has returned.
    std::string contentLengthHTTPHeaderValue() const { return std::to_string(m_length); }

    /// The bytes written since encode() began.
    std::uint64_t length() const { return m_length; }
    const std::string& boundary() const { return m_boundary; }
    /// Whether a write came up short since encode() began.
    bool failed() const { return m_failed; }

    /// Writes the bytes, counting them; false (logged) on a short write.
    bool writeData(std::span<const std::uint8_t> data);
    bool writeBytes(const void* bytes, std::size_t length);

private:
    bool write(std::string_view text) { return writeBytes(text.data(), text.size()); }
    bool writeChecked(const void* bytes, std::size_t length, const char* failure);

    std::shared_ptr<platform::foundation::OutputStream> m_stream;
    std::string m_boundary;
    std::uint64_t m_length { 0 };
    bool m_failed { false };
};

}
