#pragma once

#include <string>

namespace zorvik {

/// The namespace of the layout orientation that the constraint builders write as the first field of a
/// visual format.
class Constraints {
public:
    /// An axis of layout.
    enum class Orientation { Horizontal = 0, Vertical = 1 };

    /// The letter of the axis in a visual format: "H" or "V".
    static std::string text(Orientation orientation);
};

}
