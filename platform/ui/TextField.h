#pragma once

#include "platform/foundation/Text.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/Control.h"
#include "platform/ui/Font.h"
#include "platform/ui/Keyboard.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {

class TextField;

/// The keyboard layouts a field can ask for; the numbers are the platform's.
enum class KeyboardType {
    Default = 0,
    ASCIICapable = 1,
    NumbersAndPunctuation = 2,
    URL = 3,
    NumberPad = 4,
    PhonePad = 5,
    NamePhonePad = 6,
    EmailAddress = 7,
    DecimalPad = 8,
};

/// The label of the Return key; the numbers are the platform's.
enum class ReturnKeyType {
    Default = 0,
    Go = 1,
    Google = 2,
    Join = 3,
    Next = 4,
    Route = 5,
    Search = 6,
    Send = 7,
    Yahoo = 8,
    Done = 9,
    EmergencyCall = 10,
    Continue = 11,
};

/// Whether the keyboard corrects words; the numbers are the platform's.
enum class AutocorrectionType { Default = 0, No = 1, Yes = 2 };

/// Which letters the keyboard capitalises by itself.
enum class AutocapitalizationType { None = 0, Words = 1, Sentences = 2, AllCharacters = 3 };

/// When the field shows its clear button.
enum class TextFieldViewMode { Never = 0, WhileEditing = 1, UnlessEditing = 2, Always = 3 };

/// Told about, and asked about, a field's editing. Every method has a default; a delegate overrides what it
/// cares about.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;

    /// Whether the field may start editing (true by default).
    virtual bool shouldBeginEditing(TextField&) { return true; }
    /// The field started editing: it is the first responder.
    virtual void didBeginEditing(TextField&) { }
    /// Whether the field may stop editing (true by default).
    virtual bool shouldEndEditing(TextField&) { return true; }
    /// The field stopped editing.
    virtual void didEndEditing(TextField&) { }
    /// Whether a key press may replace the text in `range` (UTF-16 units) with `replacement` (true by
    /// default); a delete key passes an empty replacement.
    virtual bool shouldChangeCharacters(
        TextField&, foundation::Utf16Range /*range*/, const std::string& /*replacement*/)
    {
        return true;
    }
    /// Whether the clear button may empty the field (true by default).
    virtual bool shouldClear(TextField&) { return true; }
    /// Whether the Return key should act (true by default).
    virtual bool shouldReturn(TextField&) { return true; }
};

/// An editable one-line text. A finger on it makes it the first responder, which brings up the keyboard;
/// typing then goes through the delegate's shouldChangeCharacters one key at a time, and each accepted key
/// sends editing-changed. Setting the text in code sends nothing.
class TextField : public Control, public TextInput {
public:
    /// Posted (object: the field) after each accepted key press.
    static constexpr const char* textDidChangeNotification = "TextFieldTextDidChangeNotification";
    /// Posted (object: the field) when the field starts editing.
    static constexpr const char* textDidBeginEditingNotification = "TextFieldTextDidBeginEditingNotification";
    /// Posted (object: the field) when the field stops editing.
    static constexpr const char* textDidEndEditingNotification = "TextFieldTextDidEndEditingNotification";

    /// A field with the frame.
    explicit TextField(Rect frame = Rect::zero());

    /// "TextField".
    std::string className() const override { return "TextField"; }

    /// The text (empty when there is none).
    const std::string& text() const { return m_text; }
    /// Sets the text without telling anyone.
    virtual void setText(const std::string& text);
    /// The placeholder shown while the field is empty, or nothing.
    const std::optional<std::string>& placeholder() const { return m_placeholder; }
    /// Sets the placeholder (dropping any attributed placeholder).
    void setPlaceholder(const std::optional<std::string>& placeholder);
    /// The attributed placeholder, or nothing when none was set.
    const std::optional<AttributedString>& attributedPlaceholder() const { return m_attributedPlaceholder; }
    /// Sets the attributed placeholder; the plain placeholder becomes its string.
    void setAttributedPlaceholder(const std::optional<AttributedString>& placeholder);

    /// The font (the system font at 17 points unless set).
    const Font& font() const { return m_font; }
    /// Sets the font.
    void setFont(const Font& font);
    /// The text colour (black unless set).
    const Color& textColor() const { return m_textColor; }
    /// Sets the text colour.
    void setTextColor(const Color& color);
    /// How the text sits across the width.
    TextAlignment textAlignment() const { return m_alignment; }
    /// Sets how the text sits across the width.
    void setTextAlignment(TextAlignment alignment) { m_alignment = alignment; }

    /// The keyboard layout asked for.
    KeyboardType keyboardType() const { return m_keyboardType; }
    /// Sets the keyboard layout.
    void setKeyboardType(KeyboardType type) { m_keyboardType = type; }
    /// The Return key's label.
    ReturnKeyType returnKeyType() const { return m_returnKeyType; }
    /// Sets the Return key's label.
    void setReturnKeyType(ReturnKeyType type) { m_returnKeyType = type; }
    /// Whether the keyboard corrects words.
    AutocorrectionType autocorrectionType() const { return m_autocorrection; }
    /// Sets whether the keyboard corrects words.
    void setAutocorrectionType(AutocorrectionType type) { m_autocorrection = type; }
    /// Which letters the keyboard capitalises.
    AutocapitalizationType autocapitalizationType() const { return m_autocapitalization; }
    /// Sets which letters the keyboard capitalises.
    void setAutocapitalizationType(AutocapitalizationType type) { m_autocapitalization = type; }
    /// Whether the text is shown as dots.
    bool isSecureTextEntry() const { return m_secure; }
    /// Shows the text as dots or not.
    void setSecureTextEntry(bool secure) { m_secure = secure; }
    /// When the clear button shows.
    TextFieldViewMode clearButtonMode() const { return m_clearButtonMode; }
    /// Sets when the clear button shows.
    void setClearButtonMode(TextFieldViewMode mode) { m_clearButtonMode = mode; }
    /// Whether the clear button shows now.
    bool isClearButtonVisible() const;

    /// The view shown on top of the keyboard while the field edits, or null.
    std::shared_ptr<View> inputAccessoryView() const override { return m_inputAccessoryView; }
    /// Sets the view shown on top of the keyboard.
    void setInputAccessoryView(const std::shared_ptr<View>& view) { m_inputAccessoryView = view; }

    /// The delegate, or null.
    std::shared_ptr<TextFieldDelegate> delegate() const;
    /// Sets the delegate, held weakly.
    void setDelegate(const std::weak_ptr<TextFieldDelegate>& delegate);
    /// Makes the field its own delegate (for a subclass that is also a TextFieldDelegate).
    void setDelegateToSelf();

    /// Whether the field is editing (it is the first responder).
    bool isEditing() const { return m_editing; }

    /// Types the text one character (code point) at a time, as key presses, while the field is the first
    /// responder. Returns how many key presses were taken (see insertText()).
    std::size_t typeText(const std::string& text);
    /// Types one key press: asks the delegate, appends, sends editing-changed. True when the key was taken:
    /// accepted, or refused by a delegate that changed the text itself (a formatting field applying the key
    /// its own way, which then sends its own events). False when nothing changed or the field is not editing.
    bool insertText(const std::string& text) override;
    /// Deletes the last character as a key press, taken as insertText() says. False when there is nothing to
    /// delete, the delegate refuses without changing the text, or the field is not editing.
    bool deleteBackward() override;
    /// Presses Return: when the delegate's shouldReturn agrees, sends editing-did-end-on-exit; a field with
    /// actions for that event then ends editing, as the platform does.
    void pressReturn() override;
    /// Taps the clear button: when it shows and the delegate agrees, empties the text and sends
    /// editing-changed. Returns whether the text was cleared.
    bool tapClearButton();

    /// An enabled field can become the first responder.
    bool canBecomeFirstResponder() const override { return isEnabled(); }
    /// Asks the delegate's shouldBeginEditing, then becomes the first responder (bringing up the keyboard).
    bool becomeFirstResponder() override;
    /// Asks the delegate's shouldEndEditing.
    bool canResignFirstResponder() override;
    /// A field brings up the keyboard.
    bool showsKeyboard() const override { return true; }

    /// A field is one line of the font's height, as wide as its text or placeholder.
    Size intrinsicContentSize() const override;
    /// The intrinsic size.
    Size sizeThatFits(Size size) const override;

    /// Frame, text (dots when secure) or placeholder, editing and state.
    std::string describe() const override;

protected:
    /// Called after a key press that the delegate refused while changing the text itself; does nothing.
    virtual void didChangeTextItself() { }

    void didTap() override;
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;

private:
    bool replace(foundation::Utf16Range range, const std::string& replacement);
    bool pressKey(foundation::Utf16Range range, const std::string& replacement);

    std::string m_text;
    std::optional<std::string> m_placeholder;
    std::optional<AttributedString> m_attributedPlaceholder;
    Font m_font { Font::systemFont(17) };
    Color m_textColor { Color::black() };
    TextAlignment m_alignment { TextAlignment::Natural };
    KeyboardType m_keyboardType { KeyboardType::Default };
    ReturnKeyType m_returnKeyType { ReturnKeyType::Default };
    AutocorrectionType m_autocorrection { AutocorrectionType::Default };
    AutocapitalizationType m_autocapitalization { AutocapitalizationType::Sentences };
    bool m_secure { false };
    TextFieldViewMode m_clearButtonMode { TextFieldViewMode::Never };
    std::shared_ptr<View> m_inputAccessoryView;
    std::weak_ptr<TextFieldDelegate> m_delegate;
    bool m_delegateIsSelf { false };
    bool m_editing { false };
};

}
