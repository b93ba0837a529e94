#pragma once

#include "platform/ui/Color.h"

namespace zorvik {

/// The app's teal, made once on first use.
class Colours {
public:
    /// The brand teal: 0, 188, 203.
    static const platform::ui::Color& teal();
};

}
