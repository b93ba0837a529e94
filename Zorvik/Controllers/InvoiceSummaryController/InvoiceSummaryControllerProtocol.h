#pragma once

namespace zorvik {

/// What the invoice summary view asks of its controller.
class InvoiceSummaryControllerProtocol {
public:
    virtual ~InvoiceSummaryControllerProtocol() = default;

    /// The user pressed "close".
    virtual void navigateBack() = 0;
};

}
