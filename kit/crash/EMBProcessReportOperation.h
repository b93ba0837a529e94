#pragma once

#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBSymbolResolver.h"
#include "kit/crash/EMBThreadArrayOperation.h"
#include "platform/foundation/Operation.h"

#include <memory>
#include <optional>
#include <string>

namespace kit {

/// Symbolicates one report before it is packaged: each crash record's thread stacks become named frames in a
/// companion file beside it ("signal.embrecord" gets "signal.embrecord.symbolicated").
class EMBProcessReportOperation : public platform::foundation::Operation {
public:
    /// Processes `report` with `symbolResolver`, which takes the report's images: one resolver per report.
    explicit EMBProcessReportOperation(std::shared_ptr<EMBInternalReport> report,
        std::shared_ptr<EMBSymbolResolver> symbolResolver = std::make_shared<EMBSymbolResolver>());

    /// Runs the whole processing on the calling thread: reads the report's binary images, then symbolicates
    /// its exception, Mach exception and signal records (those present). Without a readable binary image
    /// file nothing is written; a damaged record is symbolicated as far as its whole records go, logged. The
    /// report's own files are left as they are.
    ///
    /// Running it again does only what is left: a record whose companion is in place is done (a companion is
    /// renamed into place whole), so a report whose processing a killed launch cut short is finished, and
    /// a processed one, perhaps already sent, keeps its companions byte for byte.
    void main() override;

    /// The companion file of the crash record at `path`: "<path>.symbolicated".
    static std::string companionPath(const std::string& path);

private:
    static std::optional<EMBThreadArray> threadArrayFromFile(const std::string& path);
    static void symbolicateFile(
        const std::string& path, const std::shared_ptr<const EMBSymbolResolver>& resolver);

    std::shared_ptr<EMBInternalReport> m_report;
    std::shared_ptr<EMBSymbolResolver> m_symbolResolver;
};

}
