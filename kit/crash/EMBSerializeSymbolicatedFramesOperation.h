#pragma once

#include "kit/crash/EMBThreadArrayOperation.h"

#include <string>

namespace kit {

/// Writes the thread array's frames to a crash record's companion file: one "threads" record holding, per
/// thread, an array of {"symbol", "offset", "library"} objects ("" and 0 for an unresolved frame).
class EMBSerializeSymbolicatedFramesOperation : public EMBThreadArrayOperation {
public:
    EMBSerializeSymbolicatedFramesOperation(
        std::shared_ptr<EMBThreadArray> threadArray, std::string outputPath)
        : EMBThreadArrayOperation(std::move(threadArray))
        , m_outputPath(std::move(outputPath))
    {
    }

    const std::string& outputPath() const { return m_outputPath; }
    /// Whether the file was written.
    bool written() const { return m_written; }

    /// Writes the file under a "." name beside the output path and renames it into place, so that the file
    /// is whole or absent (a file already there is replaced). Failures are logged and leave no file.
    void main() override;

private:
    bool write(const std::string& path) const;

    std::string m_outputPath;
    bool m_written { false };
};

}
