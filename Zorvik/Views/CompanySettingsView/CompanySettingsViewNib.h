#pragma once

namespace zorvik {

/// Registers the nib "CompanySettingsView", the settings menu's buttons. Safe to call more than once.
void registerCompanySettingsViewNib();

}
