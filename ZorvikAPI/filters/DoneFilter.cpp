#include "ZorvikAPI/filters/DoneFilter.h"

#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/models/Invoice.h"

namespace zorvik::api {

using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;

bool DoneFilter::isInvoiceDone(const Invoice& invoice)
{
    return !TodoFilter::isInvoiceTodo(invoice);
}

ArrayRef DoneFilter::filterInvoices(const ArrayRef& invoices) const
{
    return select(invoices, [](const Dictionary& record) { return !TodoFilter::isRecordTodo(record); });
}

}
