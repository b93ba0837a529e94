#pragma once

#include <string>

namespace zorvik {

/// The flow controller of a PIN screen as its PIN pad sees it.
class PinControllerProtocol {
public:
    virtual ~PinControllerProtocol() = default;

    /// The pad holds four digits: `pin` is them as text, each "0" to "9".
    virtual void pinEntered(const std::string& pin) = 0;
    /// The pad's back button was pressed.
    virtual void navigateBack() = 0;
};

}
