#pragma once

#include "platform/foundation/Json.h"
#include "platform/foundation/Value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace kit::test {

/// One line of an event log file as a reader of the service takes it apart: timestamp, tab, key and, when
/// a payload follows, tab, its length in bytes, tab and the payload.
struct EventLogLine {
    std::uint64_t timestamp { 0 };
    std::string key;
    std::optional<std::string> payload;

    /// The payload read as JSON (null when there is none or it is no JSON).
    platform::foundation::Value json() const
    {
        if (!payload)
            return nullptr;
        auto parsed = platform::foundation::parseJson(*payload);
        return parsed.ok() ? parsed.value : platform::foundation::Value();
    }
};

/// The lines of `text`, every one of which must be whole and well formed (a failure otherwise).
inline std::vector<EventLogLine> parseEventLog(std::string_view text)
{
    std::vector<EventLogLine> lines;
    while (!text.empty()) {
        EventLogLine line;
        auto tab = text.find('\t');
        if (tab == text.npos) {
            ADD_FAILURE() << "no tab after the timestamp in: " << text;
            break;
        }
        line.timestamp = std::stoull(std::string(text.substr(0, tab)));
        text.remove_prefix(tab + 1);
        auto end = text.find_first_of("\t\n");
        if (end == text.npos) {
            ADD_FAILURE() << "a line without its line feed: " << text;
            break;
        }
        line.key = std::string(text.substr(0, end));
        bool hasPayload = text[end] == '\t';
        text.remove_prefix(end + 1);
        if (hasPayload) {
            auto lengthEnd = text.find('\t');
            std::size_t length
                = lengthEnd == text.npos ? text.size() : std::stoul(std::string(text.substr(0, lengthEnd)));
            if (lengthEnd == text.npos || text.size() < lengthEnd + 1 + length + 1
                || text[lengthEnd + 1 + length] != '\n') {
                ADD_FAILURE() << "a payload cut short or without its line feed: " << text;
                break;
            }
            line.payload = std::string(text.substr(lengthEnd + 1, length));
            text.remove_prefix(lengthEnd + 1 + length + 1);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

/// The whole content of `file` ("" when it cannot be read).
inline std::string readFile(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

/// The lines of the event log file `file`.
inline std::vector<EventLogLine> eventLogLines(const std::filesystem::path& file)
{
    return parseEventLog(readFile(file));
}

/// The keys of `lines`, in order.
inline std::vector<std::string> keys(const std::vector<EventLogLine>& lines)
{
    std::vector<std::string> found;
    std::transform(
        lines.begin(), lines.end(), std::back_inserter(found), [](const auto& line) { return line.key; });
    return found;
}

/// Every file below `directory`, as paths relative to it, sorted (none when it does not exist).
inline std::vector<std::string> filesBelow(const std::filesystem::path& directory)
{
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        // The store may change meanwhile: nothing here may throw for an entry that has gone.
        std::error_code gone;
        if (it->is_regular_file(gone))
            files.push_back(it->path().lexically_relative(directory).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

/// The lines of every event log file named `name` ("2.log", say) in the "ACTIVE" store under the analytics
/// root `root`, file after file in path order.
inline std::vector<EventLogLine> activeEventLogLines(const std::filesystem::path& root, std::string_view name)
{
    std::vector<EventLogLine> lines;
    auto active = root / "v1" / "ACTIVE";
    for (const auto& file : filesBelow(active)) {
        if (std::filesystem::path(file).filename() == name) {
            auto more = eventLogLines(active / file);
            lines.insert(lines.end(), more.begin(), more.end());
        }
    }
    return lines;
}

}
