#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kit {

/// What a record file held: its whole records in file order, and what was not a record, so that a report is
/// either whole or known to be partial.
struct EMBFileSections {
    /// Each whole line that held a JSON object, after the transform.
    std::vector<platform::foundation::DictionaryRef> records;
    /// Line numbers (from 1) of whole lines that were not JSON objects, such as a record broken by a failed
    /// write.
    std::vector<std::size_t> skippedLines;
    /// Whether the file ends in the middle of a line (a record cut off by a crash); that piece is not read.
    bool endsMidLine { false };

    /// Whether anything of the file was not read.
    bool partial() const { return endsMidLine || !skippedLines.empty(); }
};

/// Maps a read record to the one to keep, or to null to drop it.
using EMBFileSectionTransform
    = std::function<platform::foundation::DictionaryRef(platform::foundation::DictionaryRef)>;

/// Reads the records of the file at `path`. None when the file cannot be read; it is then deleted when
/// `deleteIfUnreadable` is set.
std::optional<EMBFileSections> EMBFileReadSections(
    const std::string& path, bool deleteIfUnreadable, const EMBFileSectionTransform& transform = {});

}
