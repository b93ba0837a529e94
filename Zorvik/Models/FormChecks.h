#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

/// The checks the business profile forms make before they send anything. Each answers the message that
/// tells the user what to put right, or nothing when the input may be sent.
class FormChecks {
public:
    FormChecks() = delete;

    /// The title of the dialog that shows a check's message.
    static constexpr const char* kTitle = "Check your details";
    /// The button of that dialog.
    static constexpr const char* kButton = "OK";

    /// The ASCII digits of `text`, in order.
    static std::string digitsOf(std::string_view text);

    /// An account number is 8 digits and a sort code 6 digits, with or without hyphens; both empty is
    /// allowed (no account given yet).
    static std::optional<std::string> bankAccountProblem(
        std::string_view accountNumber, std::string_view sortCode);
    /// While registered, the number without spaces and without a leading "GB" must be 9 or 12 digits, or
    /// "GD" or "HA" and 3 digits (government departments and health authorities); not registered, anything
    /// goes.
    static std::optional<std::string> vatRegistrationProblem(bool isRegistered, std::string_view number);
    /// A business needs a name that is not blank.
    static std::optional<std::string> businessProblem(std::string_view name);
};

}
