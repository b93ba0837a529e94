#pragma once

namespace zorvik {

/// Registers the VAT views ("SmallVATView", "InlineVATView") and their nibs. Calling it again registers
/// nothing twice.
void registerVATNibs();

}
