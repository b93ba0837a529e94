#include "ZorvikAPI/filters/LateFilter.h"

#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Clock.h"

namespace zorvik::api {

using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::KeyLookup;

const double THIRTY_DAYS_AGO = -2592000.0;

ArrayRef LateFilter::filterInvoices(const ArrayRef& invoices) const
{
    auto deadline = platform::foundation::now().addingSeconds(THIRTY_DAYS_AGO);
    KeyLookup folders("folders");
    KeyLookup sent("sent");
    return select(invoices, { &folders, &sent }, [&](const Dictionary& record) {
        if (!TodoFilter::isHistoryTodo(folders.find(record)))
            return false;
        auto date = Invoice::sentDate(sent.find(record));
        return !date || *date <= deadline;
    });
}

}
