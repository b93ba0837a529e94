#pragma once

namespace zorvik {

/// Registers the nib "BankAccountView" (account number and sort code rows), the classes of its two fields
/// and the view class itself, so that the check of every class builds the form.
void registerBankAccountViewNib();

}
