#include "ZorvikAPI/filters/TodoFilter.h"

#include "ZorvikAPI/models/Invoice.h"

namespace zorvik::api {

using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;

bool TodoFilter::isInvoiceTodo(const Invoice& invoice)
{
    return isRecordTodo(*invoice.record());
}

bool TodoFilter::isRecordTodo(const Dictionary& record)
{
    auto* folders = record.find("folders");
    auto* history = folders ? folders->arrayPointer() : nullptr;
    return history && history->size() % 2 == 1;
}

ArrayRef TodoFilter::filterInvoices(const ArrayRef& invoices) const
{
    return select(invoices, isRecordTodo);
}

}
