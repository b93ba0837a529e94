#include "kit/core/CRNMultipartMimeStreamEncoder.h"

#include "platform/foundation/Log.h"

#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fstream>

using kit::CRNMultipartMimeStreamEncoder;
using platform::foundation::Bytes;
using platform::foundation::FileOutputStream;
using platform::foundation::Log;
using platform::foundation::MemoryOutputStream;
using platform::foundation::OutputStream;
using platform::foundation::Value;

namespace {

std::string text(const Bytes& bytes)
{
    return { bytes.begin(), bytes.end() };
}

// A stream that accepts only so many bytes in all, as a full disk would.
class ShortStream : public OutputStream {
public:
    explicit ShortStream(std::size_t room)
        : m_room(room)
    {
    }
    bool open() override { return true; }
    void close() override { }
    std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) override
    {
        std::size_t accepted = std::min(length, m_room);
        written.append(reinterpret_cast<const char*>(bytes), accepted);
        m_room -= accepted;
        return static_cast<std::ptrdiff_t>(accepted);
    }
    std::string written;

private:
    std::size_t m_room;
};

// Python's email parser, the oracle, reading a body as the server would: the parts' names, file names,
// types and payload sizes and texts, one line per part.
std::string parsedByPython(const std::string& contentType, const std::string& body)
{
    testing::ChildProcess python({ "/usr/bin/python3", "-c",
        "import sys, email, email.policy\n"
        "raw = sys.stdin.buffer.read()\n"
        "message = email.message_from_bytes(b'Content-Type: ' + sys.argv[1].encode() + b'\\r\\n\\r\\n' + "
        "raw,\n"
        "                                   policy=email.policy.HTTP)\n"
        "for part in message.iter_parts():\n"
        "    payload = part.get_payload(decode=True)\n"
        "    shown = payload.decode() if part.get_content_type() == 'text/plain' else len(payload)\n"
        "    print(part.get_param('name', header='content-disposition'), part.get_filename(),\n"
        "          part.get_content_type(), shown, sep='|')\n",
        contentType });
    python.write(body);
    python.closeInput();
    return python.readAll(std::chrono::seconds(10));
}

}

TEST(CRNMultipartMimeStreamEncoderTest, NoPartsWritesTheHeaderAndTheFooter)
{
    auto stream = std::make_shared<MemoryOutputStream>();
    CRNMultipartMimeStreamEncoder encoder(stream, "B");
    EXPECT_TRUE(encoder.encode(nullptr));
    EXPECT_EQ(text(stream->data()), "MIME-Version: 1.0\r\n--B--\r\n");
    EXPECT_EQ(encoder.contentLengthHTTPHeaderValue(), "26");
    EXPECT_EQ(encoder.contentTypeHTTPHeaderValue(), "multipart/form-data; boundary=B");
}

TEST(CRNMultipartMimeStreamEncoderTest, PartsAreLaidOutExactly)
{
    auto stream = std::make_shared<MemoryOutputStream>();
    CRNMultipartMimeStreamEncoder encoder(stream, "XYZ");
    const Bytes icon { 0x89, 'P', 'N', 'G' };
    ASSERT_TRUE(encoder.encode([&](CRNMultipartMimeStreamEncoder& parts) {
        parts.addValue("com.zorvik.Zorvik", "app[identifier]");
        parts.addValue(nullptr, "app[skipped]");
        parts.addValue(4, "app[source]");
        parts.addFileData(icon, "icon.png", "image/png", "app[icon][data]");
        parts.addFileData(icon, "raw.bin", std::nullopt, "file");
    }));
    EXPECT_EQ(text(stream->data()),
        "MIME-Version: 1.0\r\n"
        "--XYZ\r\nContent-Disposition: form-data; name=\"app[identifier]\"\r\nContent-Type: "
        "text/plain\r\n\r\n"
        "com.zorvik.Zorvik\r\n"
        "--XYZ\r\nContent-Disposition: form-data; name=\"app[source]\"\r\nContent-Type: text/plain\r\n\r\n"
        "4\r\n"
        "--XYZ\r\nContent-Disposition: form-data; name=\"app[icon][data]\"; filename=\"icon.png\"\r\n"
        "Content-Type: image/png\r\nContent-Transfer-Encoding: binary\r\n\r\n\x89PNG\r\n"
        "--XYZ\r\nContent-Disposition: form-data; name=\"file\"; filename=\"raw.bin\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n\x89PNG\r\n"
        "--XYZ--\r\n");
    EXPECT_EQ(encoder.length(), stream->data().size());
}

TEST(CRNMultipartMimeStreamEncoderTest, PythonsEmailParserReadsTheBody)
{
    testing::TemporaryDirectory folder;
    Bytes data(70000);
    for (std::size_t index = 0; index < data.size(); ++index)
        data[index] = static_cast<std::uint8_t>(index * 7);
    std::ofstream(folder.path() / "report.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));

    auto stream = std::make_shared<FileOutputStream>(folder.path() / "body");
    CRNMultipartMimeStreamEncoder encoder(stream);
    ASSERT_TRUE(encoder.encode([&](CRNMultipartMimeStreamEncoder& parts) {
        parts.addValue("Zorvik £ invoices", "app[name]");
        parts.addValue(true, "flag");
        EXPECT_TRUE(
            parts.addFile(folder.path() / "report.bin", "report.bin", "application/octet-stream", "report"));
        EXPECT_FALSE(parts.addFile(folder.path() / "missing", "missing", std::nullopt, "missing"));
    }));
    std::ifstream written(folder.path() / "body", std::ios::binary);
    std::string body { std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>() };
    EXPECT_EQ(std::to_string(body.size()), encoder.contentLengthHTTPHeaderValue());
    EXPECT_EQ(parsedByPython(encoder.contentTypeHTTPHeaderValue(), body),
        "app[name]|None|text/plain|Zorvik £ invoices\n"
        "flag|None|text/plain|1\n"
        "report|report.bin|application/octet-stream|70000\n");
}

TEST(CRNMultipartMimeStreamEncoderTest, AShortWriteFailsTheEncoding)
{
    std::vector<std::string> log;
    Log::setCapture([&](const std::string& line) { log.push_back(line); });
    for (std::size_t room : { 0, 10, 60, 150, 250 }) {
        auto stream = std::make_shared<ShortStream>(room);
        CRNMultipartMimeStreamEncoder encoder(stream, "B");
        bool encoded = encoder.encode([](CRNMultipartMimeStreamEncoder& parts) {
            parts.addValue("value", "field");
            parts.addFileData(Bytes(100, 'x'), "f", std::nullopt, "file");
        });
        EXPECT_FALSE(encoded) << room;
        EXPECT_TRUE(encoder.failed());
        EXPECT_EQ(encoder.length(), stream->written.size()) << "only what was written counts";
    }
    Log::setCapture(nullptr);
    EXPECT_EQ(log.front(), "[Cairn] Failed to write bytes to stream");
    EXPECT_NE(std::find(log.begin(), log.end(), "[Cairn] Failed to write data to stream"), log.end());
}

TEST(CRNMultipartMimeStreamEncoderTest, GeneratedBoundariesDiffer)
{
    auto stream = std::make_shared<MemoryOutputStream>();
    CRNMultipartMimeStreamEncoder first(stream);
    CRNMultipartMimeStreamEncoder second(stream);
    EXPECT_EQ(first.boundary().size(), 36u);
    EXPECT_NE(first.boundary(), second.boundary());
}

TEST(CRNMultipartMimeStreamEncoderTest, PopulatedRequestsCarryTheBodyWithItsTypeAndLength)
{
    platform::http::UrlRequest request;
    request.method = "POST";
    request.headers = { { "Content-Type", "application/json" }, { "X-Ember-API-Key", "key" } };
    const Bytes icon { 0x89, 'P', 'N', 'G' };
    ASSERT_TRUE(
        CRNMultipartMimeStreamEncoder::populateRequest(request, [&](CRNMultipartMimeStreamEncoder& encoder) {
            encoder.addValue(Value("Zorvik"), "app[name]");
            encoder.addFileData(icon, "icon.png", "image/png", "app[icon][data]");
        }));

    auto contentType = request.header("Content-Type");
    ASSERT_TRUE(contentType);
    EXPECT_TRUE(contentType->starts_with("multipart/form-data; boundary=")) << *contentType;
    EXPECT_EQ(request.header("Content-Length"), std::to_string(request.body.size()));
    // The type is replaced in its place, not sent twice.
    ASSERT_EQ(request.headers.size(), 3u);
    EXPECT_EQ(request.headers[0].first, "Content-Type");
    EXPECT_EQ(parsedByPython(*contentType, request.body),
        "app[name]|None|text/plain|Zorvik\n"
        "app[icon][data]|icon.png|image/png|4\n");

    // Each request gets a boundary of its own.
    platform::http::UrlRequest other;
    ASSERT_TRUE(CRNMultipartMimeStreamEncoder::populateRequest(other, nullptr));
    EXPECT_NE(other.header("Content-Type"), contentType);
    EXPECT_TRUE(other.body.starts_with("MIME-Version: 1.0\r\n--"));
}
