#pragma once

#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditDelegateObjc.h"

#include <cstdint>
#include <memory>

namespace zorvik {

class NavigationBar;
class NavigationBarTheme;

/// Turns a NavigationBar into the two-state control of a form. Not editing, the bar shows the disabled
/// theme and both buttons leave the form (the delegate's done). Editing, it shows the editing theme: the
/// left button cancels back to the snapshot of the document taken before editing, the right one saves.
///
/// While a save is outstanding (the delegate has not yet called either block) the mode counts as not
/// editing, the bar's spinner stands in for the right button, and presses of either button are ignored, so
/// the user neither leaves the form nor loses the edits under way. The saved block ends editing (disabled
/// theme); the failed block brings editing back (editing theme), also when it is called before the
/// delegate's save returns. Only the first outcome of a save counts.
///
/// The mode is the bar's observer; the bar refers to it weakly, so the form keeps it. It keeps the bar and
/// the themes, and refers to its delegate weakly.
class NavigationBarModeEditObjc : public NavigationBarDelegate,
                                  public std::enable_shared_from_this<NavigationBarModeEditObjc> {
public:
    /// A mode attached to `bar` (which must have no observer: the program stops with
    /// "navigationBar.observer == nil" otherwise), keeping a snapshot of `initialDocument`, showing the
    /// disabled theme, not editing. Null themes take defaultDisabledTheme() and defaultEditing().
    static std::shared_ptr<NavigationBarModeEditObjc> make(std::shared_ptr<NavigationBar> bar,
        std::weak_ptr<NavigationBarModeEditDelegateObjc> delegate, const Document& initialDocument,
        std::shared_ptr<NavigationBarTheme> disabledTheme = nullptr,
        std::shared_ptr<NavigationBarTheme> editingTheme = nullptr);

    /// A new theme at rest: white, teal title and divider, back image "BtnTealLessThan", right text "done".
    static std::shared_ptr<NavigationBarTheme> defaultDisabledTheme();
    /// As defaultDisabledTheme(), with the back image "IconDownChevron".
    static std::shared_ptr<NavigationBarTheme> defaultDisabledThemeNegativeDownChevron();
    /// A new editing theme: white, black title, 40 % black divider, "cancel" in OpenSans-Light 16 on the
    /// left, "save" in OpenSans-SemiBold 16 on the right.
    static std::shared_ptr<NavigationBarTheme> defaultEditingTheme();
    /// A new theme equal to defaultEditingTheme().
    std::shared_ptr<NavigationBarTheme> defaultEditing() const;

    /// Applies the editing theme; the flag stays.
    void enableEditing();
    /// Applies the disabled theme; the flag stays.
    void disableEditing();
    /// Sets the flag and applies the matching theme (again, when the flag did not change).
    void setIsEditing(bool editing);
    /// Whether the form is being edited (false while a save is outstanding).
    bool isEditing() const { return m_editing; }
    /// Sets the flag only, applying no theme.
    void setEditing(bool editing) { m_editing = editing; }
    /// Whether a save has been asked for and neither of its blocks has run yet.
    bool isSaving() const { return m_saving; }

    /// Keeps a deep copy of `document`, so that later edits of the live document never reach it.
    void setUneditedDocument(const Document& document);
    /// The snapshot itself.
    const Document& uneditedDocument() const { return m_uneditedDocument; }

    /// The left button: while editing, the delegate's cancelled() with the snapshot (editing ends when it
    /// answers true); otherwise the delegate's done(). Ignored while a save is outstanding.
    void negativePressed() override;
    /// The right button: while editing, the delegate's save(); otherwise the delegate's done(). Ignored
    /// while a save is outstanding.
    void positivePressed() override;
    /// True: the mode handles the right button.
    bool implementsPositivePressed() const override { return true; }

    /// The bar the mode drives.
    const std::shared_ptr<NavigationBar>& navigationBar() const { return m_navigationBar; }
    /// The delegate, or null once it is gone.
    std::shared_ptr<NavigationBarModeEditDelegateObjc> delegate() const { return m_delegate.lock(); }
    /// The theme while not editing.
    const std::shared_ptr<NavigationBarTheme>& disabledTheme() const { return m_disabledTheme; }
    /// Replaces the theme while not editing (applied at the next change of state).
    void setDisabledTheme(std::shared_ptr<NavigationBarTheme> theme) { m_disabledTheme = std::move(theme); }
    /// The theme while editing.
    const std::shared_ptr<NavigationBarTheme>& editingTheme() const { return m_editingTheme; }
    /// Replaces the theme while editing (applied at the next change of state).
    void setEditingTheme(std::shared_ptr<NavigationBarTheme> theme) { m_editingTheme = std::move(theme); }

private:
    NavigationBarModeEditObjc() = default;

    // Ends the save numbered `save` when it is the one outstanding; false for a repeated or stale outcome.
    bool finishSave(std::uint64_t save);

    bool m_editing { false };
    Document m_uneditedDocument;
    std::shared_ptr<NavigationBar> m_navigationBar;
    std::weak_ptr<NavigationBarModeEditDelegateObjc> m_delegate;
    std::shared_ptr<NavigationBarTheme> m_disabledTheme;
    std::shared_ptr<NavigationBarTheme> m_editingTheme;
    bool m_saving { false };
    std::uint64_t m_saveCount { 0 };
};

}
