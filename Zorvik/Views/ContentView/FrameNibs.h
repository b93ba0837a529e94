#pragma once

namespace zorvik {

/// Registers the nibs of the screen frame ("NavigationBar", "TemplateView", "ContentView",
/// "OneButtonDialogView", "TwoButtonDialogView") and the view classes that nibs place ("NavigationBar",
/// "KeyboardScrollView", "DirectionalScrollView", "OneButtonDialogView", "TwoButtonDialogView") with the
/// platform's nib registry. Called at launch (through registerNibs) and by tests before they build views;
/// calls after the first do nothing. A name another registration already holds raises the registry's
/// NibError.
void registerFrameNibs();

}
