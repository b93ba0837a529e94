#pragma once

#include <memory>

namespace zorvik {

class InvoiceSummaryControllerProtocol;

/// The invoice summary view as its controller sees it.
class InvoiceSummaryViewProtocol {
public:
    virtual ~InvoiceSummaryViewProtocol() = default;

    /// The controller told about "close", or null.
    virtual std::shared_ptr<InvoiceSummaryControllerProtocol> controller() const = 0;
    /// Sets the controller, held weakly.
    virtual void setController(const std::weak_ptr<InvoiceSummaryControllerProtocol>& controller) = 0;
};

}
