#pragma once

#include <cstdint>

namespace zorvik {

/// Told of the PIN keypad's key presses.
class PinKeyboardDelegate {
public:
    virtual ~PinKeyboardDelegate() = default;

    /// A digit key was pressed; `number` is its digit.
    virtual void numberPressedWithNumber(std::int64_t number) = 0;
    /// The delete key was pressed.
    virtual void deletePressed() = 0;
};

/// Told of one digit key's presses.
class NumericButtonDelegate {
public:
    virtual ~NumericButtonDelegate() = default;

    /// The key was pressed; `number` is the digit it shows.
    virtual void numberPressedWithNumber(std::int64_t number) = 0;
};

}
