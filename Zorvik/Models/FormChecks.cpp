#include "Zorvik/Models/FormChecks.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace zorvik {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isDigit);
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

}

std::string FormChecks::digitsOf(std::string_view text)
{
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), isDigit);
    return digits;
}

std::optional<std::string> FormChecks::bankAccountProblem(
    std::string_view accountNumber, std::string_view sortCode)
{
    if (accountNumber.empty() && sortCode.empty())
        return std::nullopt;
    if (accountNumber.size() != 8 || !allDigits(accountNumber))
        return "An account number has 8 digits. Put zeros in front of a shorter one.";
    std::string withoutHyphens;
    std::remove_copy(sortCode.begin(), sortCode.end(), std::back_inserter(withoutHyphens), '-');
    if (withoutHyphens.size() != 6 || !allDigits(withoutHyphens))
        return "A sort code has 6 digits, like 12-34-56.";
    return std::nullopt;
}

std::optional<std::string> FormChecks::vatRegistrationProblem(bool isRegistered, std::string_view number)
{
    if (!isRegistered)
        return std::nullopt;
    std::string compact;
    std::remove_copy(number.begin(), number.end(), std::back_inserter(compact), ' ');
    if (compact.empty())
        return "Enter your VAT number, or switch VAT registration off.";
    std::string_view rest = compact;
    if (startsWith(rest, "GB"))
        rest.remove_prefix(2);
    bool standard = (rest.size() == 9 || rest.size() == 12) && allDigits(rest);
    bool department
        = rest.size() == 5 && (startsWith(rest, "GD") || startsWith(rest, "HA")) && allDigits(rest.substr(2));
    if (standard || department)
        return std::nullopt;
    return "A VAT number has 9 digits (12 for a branch), with or without GB in front.";
}

std::optional<std::string> FormChecks::businessProblem(std::string_view name)
{
    bool blank = std::all_of(
        name.begin(), name.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
    if (blank)
        return "Your business needs a name.";
    return std::nullopt;
}

}
