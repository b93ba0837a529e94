#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEdit.h"

#include "Zorvik/Views/Colours/Colours.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"

namespace zorvik {

using platform::ui::AttributedString;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::TextAttributes;

namespace {

AttributedString textInFont(const std::string& text, const Font& font)
{
    TextAttributes attributes;
    attributes.font = font;
    return AttributedString(text, attributes);
}

}

std::shared_ptr<NavigationBarModeEdit> NavigationBarModeEdit::make(std::shared_ptr<NavigationBar> bar,
    std::weak_ptr<NavigationBarModeEditDelegateObjc> delegate, const Document& initialDocument,
    std::shared_ptr<NavigationBarTheme> disabledTheme, std::shared_ptr<NavigationBarTheme> editingTheme)
{
    std::shared_ptr<NavigationBarModeEdit> mode(new NavigationBarModeEdit());
    mode->m_navigationBar = std::move(bar);
    mode->m_delegate = std::move(delegate);
    mode->m_uneditedDocument = initialDocument;
    mode->m_disabledTheme = std::move(disabledTheme);
    mode->m_editingTheme = std::move(editingTheme);
    mode->m_navigationBar->setObserver(mode);
    mode->setIsEditing(false);
    return mode;
}

std::shared_ptr<NavigationBarTheme> NavigationBarModeEdit::defaultDisabledTheme()
{
    return std::make_shared<NavigationBarTheme>(Color::white(), Colours::teal(), Colours::teal(),
        platform::ui::Image::named("BtnTealLessThan"), std::nullopt, nullptr, std::nullopt);
}

std::shared_ptr<NavigationBarTheme> NavigationBarModeEdit::defaultEditingTheme()
{
    return std::make_shared<NavigationBarTheme>(Color::white(), Color::black(), Color::black().withAlpha(0.4),
        nullptr, textInFont("cancel", negativeFont()), nullptr, textInFont("save", positiveFont()));
}

std::shared_ptr<NavigationBarTheme> NavigationBarModeEdit::nonEditingTheme()
{
    return std::make_shared<NavigationBarTheme>(Color::white(), Color::black(), Color::black().withAlpha(0.4),
        nullptr, std::nullopt, nullptr, std::nullopt);
}

const Font& NavigationBarModeEdit::negativeFont()
{
    static const Font font = Font::named("OpenSans-Light", 16).value();
    return font;
}

const Font& NavigationBarModeEdit::positiveFont()
{
    static const Font font = Font::named("OpenSans-SemiBold", 16).value();
    return font;
}

void NavigationBarModeEdit::setIsEditing(bool editing)
{
    m_editing = editing;
    (m_editing ? m_editingTheme : m_disabledTheme)->apply(*m_navigationBar);
}

void NavigationBarModeEdit::negativePressed()
{
    auto self = shared_from_this();
    auto listener = m_delegate.lock();
    if (!listener)
        return;
    if (m_editing) {
        listener->cancelled(m_uneditedDocument);
        setIsEditing(false);
    } else {
        listener->done();
    }
}

}
