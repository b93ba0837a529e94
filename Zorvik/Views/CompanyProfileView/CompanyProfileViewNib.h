#pragma once

namespace zorvik {

/// Registers the nib "CompanyProfileView" (a row for each of the seven fields of a business's name and
/// address) and the view class itself, so that the check of every class builds the form.
void registerCompanyProfileViewNib();

}
