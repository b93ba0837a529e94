#pragma once

namespace zorvik {

/// Registers the nibs of the screen frame ("NavigationBar", "TemplateView", "ContentView",
/// "OneButtonDialogView", "TwoButtonDialogView") and the view classes that nibs place ("NavigationBar",
/// "KeyboardScrollView", "DirectionalScrollView", "OneButtonDialogView", "TwoButtonDialogView") with the
/// platform's nib registry. Called once at launch and by tests before they build views; calling it again
/// registers nothing twice.
void registerFrameNibs();

}
