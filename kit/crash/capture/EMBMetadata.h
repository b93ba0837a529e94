#pragma once

#include <optional>
#include <string>

namespace kit {

struct EMBContextInitParameters;

/// What the metadata file says of this run, copied from the initialisation record.
struct EMBMetadata {
    std::string apiKey;
    std::optional<std::string> reportIdentifier;
    std::optional<std::string> installIdentifier;
    std::optional<std::string> betaToken;
    std::optional<std::string> customBundleIdentifier;
};

EMBMetadata EMBMetadataFromParameters(const EMBContextInitParameters& params);

/// Writes "metadata.embrecord" at `path` afresh: the identity, host, application and executable records.
bool EMBMetadataWrite(const char* path, const EMBMetadata& metadata);

}
