#pragma once

namespace zorvik {

/// Registers the money widgets that nibs place ("CurrencyTextField", "CurrencyLabel", "LineItemsAmountView")
/// and the nib of the line item's amount view. Calling it again registers nothing twice.
void registerCurrencyNibs();

}
