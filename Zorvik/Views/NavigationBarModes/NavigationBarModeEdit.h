#pragma once

#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditDelegateObjc.h"

#include <memory>

namespace platform::ui {
class Font;
}

namespace zorvik {

class NavigationBar;
class NavigationBarTheme;

/// The second, simpler edit mode of a NavigationBar: it keeps its document by reference, takes both themes
/// from its maker and handles only the left button (while editing it cancels and always leaves editing;
/// otherwise it is done). The bar's right button does nothing while this mode observes it.
class NavigationBarModeEdit : public NavigationBarDelegate,
                              public std::enable_shared_from_this<NavigationBarModeEdit> {
public:
    /// A mode that observes `bar`, keeps `initialDocument` as it is and shows `disabledTheme`, not editing.
    /// Both themes are required.
    static std::shared_ptr<NavigationBarModeEdit> make(std::shared_ptr<NavigationBar> bar,
        std::weak_ptr<NavigationBarModeEditDelegateObjc> delegate, const Document& initialDocument,
        std::shared_ptr<NavigationBarTheme> disabledTheme, std::shared_ptr<NavigationBarTheme> editingTheme);

    /// A new theme at rest: white, teal title and divider, back image "BtnTealLessThan", no right button.
    static std::shared_ptr<NavigationBarTheme> defaultDisabledTheme();
    /// A new editing theme: white, black title, 40 % black divider, "cancel" in negativeFont() on the left,
    /// "save" in positiveFont() on the right.
    static std::shared_ptr<NavigationBarTheme> defaultEditingTheme();
    /// A new theme of colours only (white, black title, 40 % black divider), without buttons.
    static std::shared_ptr<NavigationBarTheme> nonEditingTheme();
    /// OpenSans-Light at 16 points, made once.
    static const platform::ui::Font& negativeFont();
    /// OpenSans-SemiBold at 16 points, made once.
    static const platform::ui::Font& positiveFont();

    /// Whether the form is being edited.
    bool isEditing() const { return m_editing; }
    /// Sets the flag and applies the matching theme.
    void setIsEditing(bool editing);
    /// The document as given, not copied.
    const Document& uneditedDocument() const { return m_uneditedDocument; }
    /// Replaces the document, kept as given.
    void setUneditedDocument(const Document& document) { m_uneditedDocument = document; }

    /// While editing: the delegate's cancelled() with the document, whatever it answers editing ends and
    /// the disabled theme shows; otherwise the delegate's done().
    void negativePressed() override;

private:
    NavigationBarModeEdit() = default;

    bool m_editing { false };
    Document m_uneditedDocument;
    std::shared_ptr<NavigationBar> m_navigationBar;
    std::weak_ptr<NavigationBarModeEditDelegateObjc> m_delegate;
    std::shared_ptr<NavigationBarTheme> m_disabledTheme;
    std::shared_ptr<NavigationBarTheme> m_editingTheme;
};

}
