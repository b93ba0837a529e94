#pragma once

#include "platform/ui/ViewController.h"

#include <string>

namespace zorvik {

/// The HTML preview screen of an invoice.
class InvoicePreviewViewController : public platform::ui::ViewController {
public:
    std::string className() const override { return "InvoicePreviewViewController"; }
};

}
