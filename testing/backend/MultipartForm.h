#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing {

/// A multipart/form-data body as a server reads it: its parts in the order sent.
struct MultipartForm {
    /// One part: its field name, the file name and type when it is a file, and its bytes.
    struct Part {
        std::string name;
        std::optional<std::string> fileName;
        std::optional<std::string> contentType;
        std::string body;
    };

    std::vector<Part> parts;

    /// Reads `body` sent with the header `contentType` ("multipart/form-data; boundary=B", the boundary
    /// possibly quoted). Anything before the first boundary line is a preamble and skipped (a kit body
    /// opens with "MIME-Version: 1.0"). nullopt for another type, a missing boundary, a part without a
    /// form-data name or headers, or a body cut before its closing boundary.
    static std::optional<MultipartForm> parse(std::string_view contentType, std::string_view body);

    /// The first part named `name`, or null.
    const Part* part(std::string_view name) const;
    /// The body of the first part named `name`, or nullopt.
    std::optional<std::string> value(std::string_view name) const;
};

}
