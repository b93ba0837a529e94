#pragma once

namespace zorvik {

/// Registers the nib "VATRegistrationView" (the registration switch and the number row) and the view class
/// itself, so that the check of every class builds the form.
void registerVATRegistrationViewNib();

}
