#pragma once

#include "Zorvik/Views/NavigationBar/Stack.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/Color.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class Button;
class Image;
class Label;
}

namespace zorvik {

class LoadingView;
class NavigationBarDelegate;

/// The app's own navigation bar, drawn at the top of every screen: a title, a left ("negative": back,
/// cancel, close) and a right ("positive": done, save, send) button above a divider line, and a spinner
/// shown in place of the right button while work is under way. Presses go to one weak observer.
///
/// Every bar is laid out by the nib "NavigationBar". Buttons are replaced at run time: a push keeps the
/// replaced button on its side's stack for the bar's life, an add or a set lets it go. An installed button
/// is 68 × 40 points, 8 points from its side's edge and 5 points above the divider.
class NavigationBar : public XibViewObjcmb {
public:
    /// "H:|-8-[subview(==68)]": where a left button sits.
    static constexpr const char* horizontalNegativeConstraint = "H:|-8-[subview(==68)]";
    /// "H:[subview(==68)]-8-|": where a right button sits.
    static constexpr const char* horizontalPositiveConstraint = "H:[subview(==68)]-8-|";
    /// "V:[subview(==40)]-5-[divider]": the height of a button and its distance above the divider.
    static constexpr const char* verticalButtonConstraint = "V:[subview(==40)]-5-[divider]";

    /// An empty bar; make one with make() or fromNib().
    NavigationBar();

    /// A bar made in code with the title `text`.
    static std::shared_ptr<NavigationBar> make(const std::string& text);
    /// A bar placed by another nib, with the frame that nib gives; its title starts empty.
    static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder);

    std::string className() const override { return "NavigationBar"; }

    /// The observer told about presses, or null.
    std::shared_ptr<NavigationBarDelegate> observer() const { return m_observer.lock(); }
    /// Sets the observer, held weakly (null removes it).
    void setObserver(const std::weak_ptr<NavigationBarDelegate>& observer) { m_observer = observer; }

    /// The title, or nothing when the title label has no text.
    std::optional<std::string> text() const;
    /// Sets the title; nothing clears it.
    void setText(const std::optional<std::string>& text);
    /// The title's colour.
    platform::ui::Color titleColour() const;
    /// Sets the title's colour; buttons already installed keep theirs.
    void setTitleColour(const platform::ui::Color& colour);
    /// The divider's colour (clear while it has none).
    platform::ui::Color dividerColour() const;
    /// Sets the divider's colour.
    void setDividerColour(const platform::ui::Color& colour);
    /// Whether the current right button is hidden.
    bool positiveButtonHidden() const;
    /// Hides or shows the current right button. While the spinner shows, it is also the state the button
    /// returns to when the spinner goes.
    void setPositiveButtonHidden(bool hidden);

    /// The left button's action: tells the observer, when there is one.
    void negativePressed();
    /// The right button's action: tells the observer when it handles the right button.
    void positivePressed();

    /// Puts `button` in the left button's place; the replaced button stays on the left stack.
    void pushNegativeButton(const std::shared_ptr<platform::ui::Button>& button);
    /// Puts `button` in the right button's place; the replaced button stays on the right stack.
    void pushPositiveButton(const std::shared_ptr<platform::ui::Button>& button);
    /// Puts `button` in the left button's place; the replaced button is let go.
    void addNegativeButton(const std::shared_ptr<platform::ui::Button>& button);
    /// Puts `button` in the right button's place; the replaced button is let go.
    void addPositiveButton(const std::shared_ptr<platform::ui::Button>& button);
    /// Installs a new left text button showing `text` in the title's present colour (any colour in the text
    /// is replaced; fonts stay). Without a text the current button stays.
    void setNegativeButtonText(const std::optional<platform::ui::AttributedString>& text);
    /// Installs a new right text button showing `text` in the title's present colour, and in
    /// RGB(199, 199, 205) while disabled. Without a text the current button stays.
    void setPositiveButtonText(const std::optional<platform::ui::AttributedString>& text);
    /// Installs a new left button showing `image` (none: a button without image).
    void setNegativeButtonImage(const std::shared_ptr<const platform::ui::Image>& image);
    /// Installs a new right button showing `image` (none: a button without image).
    void setPositiveButtonImage(const std::shared_ptr<const platform::ui::Image>& image);
    /// Places a button that is already in the bar: the horizontal format given, then
    /// verticalButtonConstraint, both over {"subview": button, "divider": divider}, installed on the bar.
    void addConstraintsForButton(const std::shared_ptr<platform::ui::Button>& button,
        const std::string& horizontalConstraintsDescription);
    /// Hides the current left button; a button installed later shows.
    void hideNegativeButton();

    /// Shows the spinner in `colour` in place of the right button (which is hidden); a spinner that already
    /// turns only takes the colour.
    void showLoadingViewWithColour(const platform::ui::Color& colour);
    /// Stops and hides the spinner. The right button that the spinner hid shows again as it was before
    /// (hidden stays hidden); a right button installed meanwhile keeps its own state.
    void hideLoadingView();
    /// Disables the current right button.
    void disabledPositiveButton();
    /// Enables the current right button.
    void enablePositiveButton();

    /// A new button without system styling, its content on the left.
    static std::shared_ptr<platform::ui::Button> standardNegativeButtonTemplate();
    /// A new button without system styling, its content on the right.
    static std::shared_ptr<platform::ui::Button> standardPositiveButtonTemplate();

    /// The title label.
    std::shared_ptr<platform::ui::Label> titleLabel() const { return m_title.lock(); }
    /// The current left button.
    std::shared_ptr<platform::ui::Button> negativeButton() const { return m_negativeButton.lock(); }
    /// The current right button.
    std::shared_ptr<platform::ui::Button> positiveButton() const { return m_positiveButton.lock(); }
    /// The spinner.
    std::shared_ptr<LoadingView> loadingView() const { return m_loadingView.lock(); }
    /// The line under the buttons.
    std::shared_ptr<platform::ui::View> divider() const { return m_divider.lock(); }
    /// The left buttons taken off the bar by pushes, first pushed first.
    const Stack<std::shared_ptr<platform::ui::Button>>& negativeButtonStack() const
    {
        return m_negativeButtonStack;
    }
    /// The right buttons taken off the bar by pushes, first pushed first.
    const Stack<std::shared_ptr<platform::ui::Button>>& positiveButtonStack() const
    {
        return m_positiveButtonStack;
    }

private:
    enum class Side { Negative, Positive };

    void addButton(Side side, const std::shared_ptr<platform::ui::Button>& button, bool push);
    std::shared_ptr<platform::ui::Button> textButton(
        Side side, const platform::ui::AttributedString& text) const;
    std::shared_ptr<platform::ui::Button> imageButton(
        Side side, const std::shared_ptr<const platform::ui::Image>& image) const;

    std::weak_ptr<NavigationBarDelegate> m_observer;
    std::weak_ptr<platform::ui::Label> m_title;
    std::weak_ptr<platform::ui::Button> m_negativeButton;
    std::weak_ptr<platform::ui::Button> m_positiveButton;
    std::weak_ptr<LoadingView> m_loadingView;
    std::weak_ptr<platform::ui::View> m_divider;
    Stack<std::shared_ptr<platform::ui::Button>> m_negativeButtonStack;
    Stack<std::shared_ptr<platform::ui::Button>> m_positiveButtonStack;
    // While the spinner shows: the right button it hid and that button's hidden flag before.
    bool m_loading { false };
    std::weak_ptr<platform::ui::Button> m_buttonUnderSpinner;
    bool m_hiddenBeforeSpinner { false };
};

}
