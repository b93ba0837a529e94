#include "kit/core/CRNMultipartMimeStreamEncoder.h"

#include "kit/core/CRNDataHelpers.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"

namespace kit {

namespace {

void logFailure(const char* message)
{
    platform::foundation::Log("[Cairn]").write(message);
}

}

std::string CRNMultipartMimeStreamEncoder::generateBoundary()
{
    return CRNGenerateUUID();
}

CRNMultipartMimeStreamEncoder::CRNMultipartMimeStreamEncoder(
    std::shared_ptr<platform::foundation::OutputStream> stream, std::optional<std::string> boundary)
    : m_stream(std::move(stream))
    , m_boundary(boundary ? std::move(*boundary) : generateBoundary())
{
}

std::string CRNMultipartMimeStreamEncoder::contentTypeHTTPHeaderValueWithBoundary(std::string_view boundary)
{
    return "multipart/form-data; boundary=" + std::string(boundary);
}

bool CRNMultipartMimeStreamEncoder::populateRequest(platform::http::UrlRequest& request, const Parts& parts)
{
    auto stream = std::make_shared<platform::foundation::MemoryOutputStream>();
    CRNMultipartMimeStreamEncoder encoder(stream);
    if (!encoder.encode(parts))
        return false;
    request.setValue(encoder.contentTypeHTTPHeaderValue(), "Content-Type");
    request.setValue(encoder.contentLengthHTTPHeaderValue(), "Content-Length");
    auto body = stream->takeData();
    request.body.assign(body.begin(), body.end());
    return true;
}

bool CRNMultipartMimeStreamEncoder::encode(const Parts& parts)
{
    m_length = 0;
    m_failed = !m_stream || !m_stream->open();
    if (m_failed) {
        logFailure("Failed to write bytes to stream");
        return false;
    }
    write("MIME-Version: 1.0\r\n");
    if (parts)
        parts(*this);
    write("--");
    write(m_boundary);
    write("--\r\n");
    m_stream->close();
    return !m_failed;
}

void CRNMultipartMimeStreamEncoder::addValue(
    const platform::foundation::Value& value, std::string_view fieldName)
{
    if (value.isNull())
        return;
    write("--");
    write(m_boundary);
    write("\r\nContent-Disposition: form-data; name=\"");
    write(fieldName);
    write("\"\r\nContent-Type: text/plain\r\n\r\n");
    if (const auto* text = value.string())
        write(*text);
    else
        write(value.stringValue());
    write("\r\n");
}

void CRNMultipartMimeStreamEncoder::addFileData(std::span<const std::uint8_t> data, std::string_view fileName,
    std::optional<std::string_view> mimeType, std::string_view fieldName)
{
    write("--");
    write(m_boundary);
    write("\r\nContent-Disposition: form-data; name=\"");
    write(fieldName);
    write("\"; filename=\"");
    write(fileName);
    write("\"\r\n");
    if (mimeType) {
        write("Content-Type: ");
        write(*mimeType);
        write("\r\nContent-Transfer-Encoding: binary\r\n\r\n");
    } else {
        write("Content-Type: application/octet-stream\r\n\r\n");
    }
    writeData(data);
    write("\r\n");
}

bool CRNMultipartMimeStreamEncoder::addFile(const std::filesystem::path& path, std::string_view fileName,
    std::optional<std::string_view> mimeType, std::string_view fieldName)
{
    auto bytes = platform::foundation::Files::readBytes(path);
    if (!bytes)
        return false;
    addFileData(*bytes, fileName, mimeType, fieldName);
    return true;
}

bool CRNMultipartMimeStreamEncoder::writeData(std::span<const std::uint8_t> data)
{
    return writeChecked(data.data(), data.size(), "Failed to write data to stream");
}

bool CRNMultipartMimeStreamEncoder::writeBytes(const void* bytes, std::size_t length)
{
    return writeChecked(bytes, length, "Failed to write bytes to stream");
}

bool CRNMultipartMimeStreamEncoder::writeChecked(const void* bytes, std::size_t length, const char* failure)
{
    // After a short write the body is cut already: writing on would only hide where.
    if (m_failed)
        return false;
    if (length == 0)
        return true;
    std::ptrdiff_t written = m_stream->write(static_cast<const std::uint8_t*>(bytes), length);
    if (written > 0)
        m_length += static_cast<std::uint64_t>(written);
    if (written != static_cast<std::ptrdiff_t>(length)) {
        m_failed = true;
        logFailure(failure);
        return false;
    }
    return true;
}

}
