#pragma once

namespace zorvik {

/// Registers the folder lists' nibs and classes: the invoice row, the list and the empty-folder view; calls
/// after the first do nothing.
void registerFolderNibs();

}
