#pragma once

#include <zlib.h>

#include <string>
#include <vector>

namespace testing {

/// `data` compressed in the gzip format.
inline std::string gzip(const std::string& data)
{
    z_stream stream {};
    deflateInit2(&stream, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string compressed(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
    stream.avail_out = static_cast<uInt>(compressed.size());
    deflate(&stream, Z_FINISH);
    compressed.resize(stream.total_out);
    deflateEnd(&stream);
    return compressed;
}

/// One part of a report package: a value part, or a file part with its file name and type.
struct PackagePart {
    std::string name;
    std::string body;
    std::string fileName {};
    std::string contentType {};
};

/// A package as the crash kit writes it: the MIME-Version preamble, then each part.
inline std::string package(const std::vector<PackagePart>& parts, const std::string& boundary = "B0UND")
{
    std::string body = "MIME-Version: 1.0\r\n";
    for (const auto& part : parts) {
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + part.name + "\"";
        if (!part.fileName.empty())
            body += "; filename=\"" + part.fileName + "\"\r\nContent-Type: " + part.contentType;
        body += "\r\n\r\n" + part.body + "\r\n";
    }
    return body + "--" + boundary + "--\r\n";
}

}
