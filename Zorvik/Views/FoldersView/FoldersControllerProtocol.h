#pragma once

#include "platform/foundation/Value.h"

namespace zorvik {

/// The home screen's answers to its view's buttons and to a tap on an invoice row.
class FoldersControllerProtocol {
public:
    virtual ~FoldersControllerProtocol() = default;

    /// Opens the create-invoice screen.
    virtual void createInvoice() = 0;
    /// Opens the read-only screen of `invoice`.
    virtual void showInvoice(const platform::foundation::DictionaryRef& invoice) = 0;
    /// Opens the business settings.
    virtual void showSettings() = 0;
    /// Opens the invoice summary.
    virtual void showInvoiceSummary() = 0;
};

}
