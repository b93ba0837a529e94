#pragma once

namespace zorvik {

/// Registers the home screen's nibs and classes: the folders view, its hints overlay and the two hints;
/// calls after the first do nothing.
void registerFoldersViewNibs();

}
