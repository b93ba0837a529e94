#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zorvik {

/// The PIN typed so far on the PIN pad: up to four digits, each "0" to "9".
class Pin {
public:
    /// The number of digits of a whole PIN.
    static constexpr std::size_t kMaxLength { 4 };

    /// Appends `digit` and answers true when it is a single digit (0 to 9) and fewer than four are held;
    /// otherwise answers false and changes nothing.
    bool addDigit(std::int64_t digit);
    /// Removes the last digit and answers true; answers false when none is held.
    bool removeDigit();
    /// Forgets every digit.
    void clear() { m_pin.clear(); }
    /// True when four digits are held.
    bool isAtMaxLength() const { return m_pin.size() == kMaxLength; }
    /// The digits held.
    const std::string& digits() const { return m_pin; }
    /// The digits held (the same as digits()).
    const std::string& pin() const { return m_pin; }

private:
    std::string m_pin;
};

}
