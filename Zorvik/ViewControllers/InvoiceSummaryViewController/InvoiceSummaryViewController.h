#pragma once

#include "platform/ui/ViewController.h"

#include <string>

namespace zorvik {

/// The invoice summary screen (paid, outstanding and late totals).
class InvoiceSummaryViewController : public platform::ui::ViewController {
public:
    std::string className() const override { return "InvoiceSummaryViewController"; }
};

}
