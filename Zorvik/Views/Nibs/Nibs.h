#pragma once

namespace zorvik {

/// Registers the app's nibs and the view classes that nibs place with the platform's nib registry. The app
/// calls it at launch and tests before they build views; calls after the first do nothing. A name another
/// registration already holds raises the registry's NibError.
void registerNibs();

}
