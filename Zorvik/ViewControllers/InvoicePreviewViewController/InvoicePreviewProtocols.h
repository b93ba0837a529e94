#pragma once

#include "platform/foundation/Value.h"

namespace zorvik {

/// What the preview screen asks of its view.
class InvoicePreviewDelegate {
public:
    virtual ~InvoicePreviewDelegate() = default;

    /// Shows `invoice` as its HTML page.
    virtual void loadWebViewWithInvoice(const platform::foundation::DictionaryRef& invoice) = 0;
};

/// What the preview view asks of its screen.
class InvoicePreviewControllerProtocol {
public:
    virtual ~InvoicePreviewControllerProtocol() = default;

    /// The user closed the preview.
    virtual void navigateBack() = 0;
};

}
