#pragma once

#include "platform/ui/Label.h"

#include <string>

namespace zorvik {

/// The label of an invoice row that counts the days to or past the payment date ("due in 2 days",
/// "late by 3 days"); a plain label of its own class, so layouts and screens can tell it apart.
class FriendlyDayLabel : public platform::ui::Label {
public:
    using Label::Label;

    std::string className() const override { return "FriendlyDayLabel"; }
};

}
