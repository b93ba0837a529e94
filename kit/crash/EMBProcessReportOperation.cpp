#include "kit/crash/EMBProcessReportOperation.h"

#include "kit/crash/EMBDemangleOperation.h"
#include "kit/crash/EMBSerializeSymbolicatedFramesOperation.h"
#include "kit/crash/EMBSymbolicationOperation.h"
#include "kit/crash/capture/EMBFileReader.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Log.h"

#include <filesystem>

namespace kit {
namespace {

void log(const std::string& message)
{
    platform::foundation::Log().write("[Ember:Crash:Symbolication] " + message);
}

std::vector<EMBStackFrame> stackOf(const platform::foundation::Value& thread)
{
    std::vector<EMBStackFrame> frames;
    auto object = thread.dictionary();
    auto stacktrace = object ? object->get("stacktrace").array() : nullptr;
    if (!stacktrace)
        return frames;
    for (const auto& entry : *stacktrace) {
        auto address = entry.integer();
        frames.push_back(EMBStackFrame::stackFrameWithAddress(address && *address > 0 ? *address : 0));
    }
    return frames;
}

}

EMBProcessReportOperation::EMBProcessReportOperation(
    std::shared_ptr<EMBInternalReport> report, std::shared_ptr<EMBSymbolResolver> symbolResolver)
    : m_report(std::move(report))
    , m_symbolResolver(std::move(symbolResolver))
{
}

void EMBProcessReportOperation::main()
{
    if (!m_report || !m_symbolResolver)
        return;
    // A companion is renamed into place whole: its record is done, and stays as it was written.
    std::vector<std::string> unprocessed;
    m_report->enumerateSymbolicatableFilesInContent([&](const std::string& path) {
        std::error_code error;
        if (std::filesystem::exists(path, error) && !std::filesystem::exists(companionPath(path), error))
            unprocessed.push_back(path);
    });
    if (unprocessed.empty() || !m_symbolResolver->loadBinaryImagesFromFile(m_report->binaryImagePath()))
        return;
    for (const auto& path : unprocessed) {
        if (isCancelled())
            return;
        symbolicateFile(path, m_symbolResolver);
    }
}

std::string EMBProcessReportOperation::companionPath(const std::string& path)
{
    return path + ".symbolicated";
}

std::optional<EMBThreadArray> EMBProcessReportOperation::threadArrayFromFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return std::nullopt;
    auto sections = EMBFileReadSections(path, false);
    if (!sections)
        return std::nullopt;
    if (sections->partial())
        log("crash record " + path + " is damaged: symbolicating its whole records");
    for (const auto& record : sections->records) {
        auto threads = record->get("threads").array();
        if (!threads)
            continue;
        EMBThreadArray threadArray;
        for (const auto& thread : *threads)
            threadArray.push_back(stackOf(thread));
        return threadArray;
    }
    log("crash record " + path + " holds no threads");
    return std::nullopt;
}

void EMBProcessReportOperation::symbolicateFile(
    const std::string& path, const std::shared_ptr<const EMBSymbolResolver>& resolver)
{
    auto threads = threadArrayFromFile(path);
    if (!threads)
        return;
    auto threadArray = std::make_shared<EMBThreadArray>(std::move(*threads));
    EMBSymbolicationOperation(threadArray, resolver).start();
    EMBDemangleOperation(threadArray).start();
    EMBSerializeSymbolicatedFramesOperation(threadArray, companionPath(path)).start();
}

}
