#pragma once

namespace zorvik {

/// Registers the app's nibs and the view classes that nibs place with the platform's nib registry. The app
/// calls it once at launch and tests before they build views; calling it again registers nothing twice.
void registerNibs();

}
