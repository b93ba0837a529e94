#include "testing/backend/MultipartForm.h"

#include "testing/backend/Text.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace testing {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// A header value's first item and its ";"-separated parameters ("form-data; name=\"a\""), names in lower
// case, quoted values unquoted (a backslash escapes the next character).
struct HeaderValue {
    std::string item;
    std::vector<std::pair<std::string, std::string>> parameters;

    std::optional<std::string> parameter(std::string_view name) const
    {
        for (const auto& [key, value] : parameters) {
            if (key == name)
                return value;
        }
        return std::nullopt;
    }
};

std::optional<HeaderValue> parseHeaderValue(std::string_view text)
{
    HeaderValue value;
    auto semicolon = text.find(';');
    value.item = trimmed(text.substr(0, semicolon));
    std::transform(value.item.begin(), value.item.end(), value.item.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::size_t at = semicolon == std::string_view::npos ? text.size() : semicolon + 1;
    while (at < text.size()) {
        auto equals = text.find('=', at);
        if (equals == std::string_view::npos)
            return std::nullopt;
        std::string name(trimmed(text.substr(at, equals - at)));
        std::transform(name.begin(), name.end(), name.begin(),
            [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        at = equals + 1;
        while (at < text.size() && text[at] == ' ')
            ++at;
        std::string parameter;
        if (at < text.size() && text[at] == '"') {
            ++at;
            while (at < text.size() && text[at] != '"') {
                if (text[at] == '\\' && at + 1 < text.size())
                    ++at;
                parameter += text[at++];
            }
            if (at == text.size())
                return std::nullopt;
            ++at;
            auto next = text.find(';', at);
            if (!trimmed(text.substr(at, next == std::string_view::npos ? next : next - at)).empty())
                return std::nullopt;
            at = next == std::string_view::npos ? text.size() : next + 1;
        } else {
            auto next = text.find(';', at);
            parameter = trimmed(text.substr(at, next == std::string_view::npos ? next : next - at));
            at = next == std::string_view::npos ? text.size() : next + 1;
        }
        value.parameters.emplace_back(std::move(name), std::move(parameter));
    }
    return value;
}

// The part's headers and body, given the bytes between its boundary line and the next delimiter.
std::optional<MultipartForm::Part> parsePart(std::string_view bytes)
{
    auto end = bytes.find("\r\n\r\n");
    if (end == std::string_view::npos)
        return std::nullopt;
    MultipartForm::Part part;
    bool named = false;
    auto headers = bytes.substr(0, end);
    while (!headers.empty()) {
        auto lineEnd = headers.find("\r\n");
        auto line = headers.substr(0, lineEnd);
        headers = lineEnd == std::string_view::npos ? std::string_view() : headers.substr(lineEnd + 2);
        auto colon = line.find(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        auto name = trimmed(line.substr(0, colon));
        auto value = line.substr(colon + 1);
        if (equalsIgnoringCase(name, "Content-Disposition")) {
            auto disposition = parseHeaderValue(value);
            if (!disposition || disposition->item != "form-data" || !disposition->parameter("name"))
                return std::nullopt;
            part.name = *disposition->parameter("name");
            part.fileName = disposition->parameter("filename");
            named = true;
        } else if (equalsIgnoringCase(name, "Content-Type")) {
            part.contentType = std::string(trimmed(value));
        }
    }
    if (!named)
        return std::nullopt;
    part.body = bytes.substr(end + 4);
    return part;
}

}

std::optional<MultipartForm> MultipartForm::parse(std::string_view contentType, std::string_view body)
{
    auto type = parseHeaderValue(contentType);
    if (!type || type->item != "multipart/form-data")
        return std::nullopt;
    auto boundary = type->parameter("boundary");
    if (!boundary || boundary->empty())
        return std::nullopt;
    std::string delimiter = "--" + *boundary;

    // The first boundary line opens the body or follows the preamble's last line break.
    std::size_t at = body.starts_with(delimiter) ? 0 : body.find("\r\n" + delimiter);
    if (at == std::string_view::npos)
        return std::nullopt;
    at += body.starts_with(delimiter) ? delimiter.size() : delimiter.size() + 2;

    MultipartForm form;
    std::string next = "\r\n" + delimiter;
    while (true) {
        if (body.substr(at).starts_with("--"))
            return form;
        if (!body.substr(at).starts_with("\r\n"))
            return std::nullopt;
        at += 2;
        // A delimiter is followed by a line break or, closing the body, by "--"; the same bytes followed
        // by anything else are content.
        auto end = body.find(next, at);
        while (end != std::string_view::npos && !body.substr(end + next.size()).starts_with("\r\n")
            && !body.substr(end + next.size()).starts_with("--"))
            end = body.find(next, end + 1);
        if (end == std::string_view::npos)
            return std::nullopt;
        auto part = parsePart(body.substr(at, end - at));
        if (!part)
            return std::nullopt;
        form.parts.push_back(std::move(*part));
        at = end + next.size();
    }
}

const MultipartForm::Part* MultipartForm::part(std::string_view name) const
{
    auto found
        = std::find_if(parts.begin(), parts.end(), [&](const Part& part) { return part.name == name; });
    return found == parts.end() ? nullptr : &*found;
}

std::optional<std::string> MultipartForm::value(std::string_view name) const
{
    auto found = part(name);
    return found ? std::optional(found->body) : std::nullopt;
}

}
