#include "kit/crash/EMBSerializeSymbolicatedFramesOperation.h"

#include "kit/crash/capture/EMBFile.h"
#include "platform/foundation/Log.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace kit {
namespace {

void log(const std::string& message)
{
    platform::foundation::Log().write("[Ember:Crash:Symbolication] " + message);
}

}

void EMBSerializeSymbolicatedFramesOperation::main()
{
    std::filesystem::path output(m_outputPath);
    std::string partial = (output.parent_path() / ("." + output.filename().string())).string();
    if (!write(partial)) {
        unlink(partial.c_str());
        return;
    }
    if (std::rename(partial.c_str(), m_outputPath.c_str()) != 0) {
        log("Failed to move output file into place: " + m_outputPath);
        unlink(partial.c_str());
        return;
    }
    m_written = true;
}

bool EMBSerializeSymbolicatedFramesOperation::write(const std::string& path) const
{
    EMBFile file;
    if (!EMBFileInitWithPathMode(&file, path.c_str(), false, true)) {
        log("Failed to create output file");
        return false;
    }
    static const EMBThreadArray kNoThreads;
    const EMBThreadArray& threads = threadArray() ? *threadArray() : kNoThreads;
    bool ok = EMBFileWriteSectionStart(&file, "threads") && EMBFileWriteArrayStart(&file);
    for (const auto& thread : threads) {
        ok = ok && EMBFileWriteArrayStart(&file);
        for (const EMBStackFrame& frame : thread) {
            ok = ok && EMBFileWriteHashStart(&file)
                && EMBFileWriteHashEntryString(&file, "symbol", frame.symbol.value_or("").c_str())
                && EMBFileWriteHashEntryUint64(&file, "offset", frame.offset)
                && EMBFileWriteHashEntryString(&file, "library", frame.library.value_or("").c_str())
                && EMBFileWriteHashEnd(&file);
        }
        ok = ok && EMBFileWriteArrayEnd(&file);
    }
    ok = ok && EMBFileWriteArrayEnd(&file) && EMBFileWriteSectionEnd(&file);
    ok = EMBFileClose(&file) && ok;
    if (!ok)
        log("Failed to write output file " + m_outputPath);
    return ok;
}

}
