#pragma once

#include "conversion/ACTConversionReporterPrivate.h"

#include <memory>
#include <optional>
#include <string>

namespace conversion {

/// An in-app purchase of a product, pinged to "<conversion base>/?" with its product ID as "sku".
class ACTIAPConversionReporter : public ACTConversionReporterPrivate {
public:
    /// A reporter, or nullptr for an empty product ID.
    static std::shared_ptr<ACTIAPConversionReporter> make(
        const std::string& productID, std::optional<std::string> value, bool isRepeatable);

    /// Made by make() only (public for std::make_shared).
    ACTIAPConversionReporter(std::string productID, std::optional<std::string> value, bool isRepeatable);

    /// The base's and "sku".
    platform::foundation::DictionaryRef queryParameters() override;
    std::string reportingURLPrefix() override;
    std::string className() const override { return "ACTIAPConversionReporter"; }

    const std::string& productID() const { return m_productID; }

protected:
    std::string deduplicationID() const override;

private:
    std::string m_productID;
};

}
