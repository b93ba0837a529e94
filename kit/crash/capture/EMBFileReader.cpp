#include "kit/crash/capture/EMBFileReader.h"

#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"

#include <unistd.h>

namespace kit {

std::optional<EMBFileSections> EMBFileReadSections(
    const std::string& path, bool deleteIfUnreadable, const EMBFileSectionTransform& transform)
{
    if (path.empty()) {
        EMBSDKFileLog("%s: Error: input path is invalid\n", __func__);
        return std::nullopt;
    }
    auto text = platform::foundation::Files::readText(path);
    if (!text) {
        if (deleteIfUnreadable)
            unlink(path.c_str());
        EMBSDKFileLog("%s: Unable to read file %s\n", __func__, path.c_str());
        return std::nullopt;
    }
    EMBFileSections sections;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text->size();) {
        ++lineNumber;
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) {
            sections.endsMidLine = true;
            break;
        }
        std::string_view line(text->data() + start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        auto parsed = platform::foundation::parseJson(line);
        auto record = parsed.value.dictionary();
        if (!parsed.ok() || !record) {
            sections.skippedLines.push_back(lineNumber);
            continue;
        }
        if (transform)
            record = transform(record);
        if (record)
            sections.records.push_back(record);
    }
    return sections;
}

}
