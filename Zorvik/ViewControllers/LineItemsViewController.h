#pragma once

#include "platform/ui/ViewController.h"

#include <string>

namespace zorvik {

/// The line-items screen of the invoice editor.
class LineItemsViewController : public platform::ui::ViewController {
public:
    std::string className() const override { return "LineItemsViewController"; }
};

}
