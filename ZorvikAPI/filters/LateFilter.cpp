#include "ZorvikAPI/filters/LateFilter.h"

#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Clock.h"

namespace zorvik::api {

using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;

const double THIRTY_DAYS_AGO = -2592000.0;

ArrayRef LateFilter::filterInvoices(const ArrayRef& invoices) const
{
    auto deadline = platform::foundation::now().addingSeconds(THIRTY_DAYS_AGO);
    return select(invoices, [&](const Dictionary& record) {
        if (!TodoFilter::isRecordTodo(record))
            return false;
        auto sent = Invoice::sentDate(record);
        return !sent || *sent <= deadline;
    });
}

}
