#include "ZorvikAPI/filters/LateFilter.h"

#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"

namespace zorvik::api {

using platform::foundation::Array;
using platform::foundation::ArrayRef;

const double THIRTY_DAYS_AGO = -2592000.0;

ArrayRef LateFilter::filterInvoices(const ArrayRef& invoices) const
{
    auto matching = Array::make();
    if (!invoices)
        return matching;
    auto deadline = platform::foundation::now().addingSeconds(THIRTY_DAYS_AGO);
    for (auto& element : *invoices) {
        auto record = element.dictionary();
        if (!record)
            continue;
        Invoice invoice(record);
        if (!TodoFilter::isInvoiceTodo(invoice))
            continue;
        auto sent = invoice.sent();
        if (!sent || *sent <= deadline)
            matching->append(element);
    }
    return matching;
}

}
