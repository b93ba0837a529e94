#include "kit/crash/capture/EMBMetadata.h"

#include "kit/core/CRNApplication.h"
#include "kit/crash/Ember.h"
#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBContext.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBHost.h"

#include <ctime>

namespace kit {
namespace {

std::optional<std::string> text(const char* value)
{
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void writeIdentity(EMBFile* file, const EMBMetadata& metadata)
{
    EMBFileWriteSectionStart(file, "identity");
    EMBFileWriteHashStart(file);
    EMBFileWriteHashEntryString(file, "generator", "Ember iOS SDK/3.7.0");
    EMBFileWriteHashEntryString(file, "build_version", "102");
    EMBFileWriteHashEntryString(file, "display_version", Ember::kDisplayVersion);
    EMBFileWriteHashEntryString(file, "api_key", metadata.apiKey.c_str());
    EMBFileWriteHashEntryUint64(file, "started_at", std::uint64_t(std::time(nullptr)));
    EMBFileWriteHashEntryNSString(file, "session_id", metadata.reportIdentifier);
    EMBFileWriteHashEntryNSString(file, "install_id", metadata.installIdentifier);
    EMBFileWriteHashEntryNSString(file, "beta_token", metadata.betaToken);
    EMBFileWriteHashEnd(file);
    EMBFileWriteSectionEnd(file);
}

void writeApplication(EMBFile* file, const EMBMetadata& metadata)
{
    EMBFileWriteSectionStart(file, "application");
    EMBFileWriteHashStart(file);
    EMBFileWriteHashEntryNSString(file, "bundle_id", CRNApplicationGetBundleIdentifier());
    EMBFileWriteHashEntryNSString(file, "custom_bundle_id", metadata.customBundleIdentifier);
    EMBFileWriteHashEntryNSString(file, "build_version", CRNApplicationGetBundleVersion());
    EMBFileWriteHashEntryNSString(file, "display_version", CRNApplicationGetShortBundleVersion());
    // The program always runs as an app here, never as an extension of another.
    EMBFileWriteHashEntryString(file, "extension_id", nullptr);
    EMBFileWriteHashEnd(file);
    EMBFileWriteSectionEnd(file);
}

}

EMBMetadata EMBMetadataFromParameters(const EMBContextInitParameters& params)
{
    return EMBMetadata {
        .apiKey = params.apiKey != nullptr ? params.apiKey : "",
        .reportIdentifier = text(params.reportIdentifier),
        .installIdentifier = text(params.installIdentifier),
        .betaToken = text(params.betaToken),
        .customBundleIdentifier = text(params.customBundleIdentifier),
    };
}

bool EMBMetadataWrite(const char* path, const EMBMetadata& metadata)
{
    EMBUnlinkIfExists(path);
    EMBFile file;
    if (!EMBFileInitWithPath(&file, path, true))
        return false;
    writeIdentity(&file, metadata);
    EMBHostRecord(&file);
    writeApplication(&file, metadata);
    EMBBinaryImageRecordMainExecutable(&file);
    return EMBFileClose(&file);
}

}
