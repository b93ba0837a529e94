#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"

#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "platform/foundation/Assertion.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"

namespace zorvik {

using platform::ui::AttributedString;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Image;
using platform::ui::TextAttributes;

namespace {

std::shared_ptr<NavigationBarTheme> disabledThemeWithBackImage(const std::string& imageName)
{
    return std::make_shared<NavigationBarTheme>(Color::white(), ColoursObjc::teal(), ColoursObjc::teal(),
        Image::named(imageName), std::nullopt, nullptr, AttributedString("done"));
}

AttributedString textInFont(const std::string& text, const std::string& fontName)
{
    TextAttributes attributes;
    attributes.font = Font::named(fontName, 16).value();
    return AttributedString(text, attributes);
}

}

std::shared_ptr<NavigationBarModeEditObjc> NavigationBarModeEditObjc::make(std::shared_ptr<NavigationBar> bar,
    std::weak_ptr<NavigationBarModeEditDelegateObjc> delegate, const Document& initialDocument,
    std::shared_ptr<NavigationBarTheme> disabledTheme, std::shared_ptr<NavigationBarTheme> editingTheme)
{
    platform::foundation::precondition(bar->observer() == nullptr, "navigationBar.observer == nil");
    std::shared_ptr<NavigationBarModeEditObjc> mode(new NavigationBarModeEditObjc());
    mode->m_disabledTheme = disabledTheme ? std::move(disabledTheme) : defaultDisabledTheme();
    mode->m_editingTheme = editingTheme ? std::move(editingTheme) : mode->defaultEditing();
    mode->m_navigationBar = std::move(bar);
    mode->m_delegate = std::move(delegate);
    mode->setUneditedDocument(initialDocument);
    mode->m_navigationBar->setObserver(mode);
    mode->disableEditing();
    return mode;
}

std::shared_ptr<NavigationBarTheme> NavigationBarModeEditObjc::defaultDisabledTheme()
{
    return disabledThemeWithBackImage("BtnTealLessThan");
}

std::shared_ptr<NavigationBarTheme> NavigationBarModeEditObjc::defaultDisabledThemeNegativeDownChevron()
{
    return disabledThemeWithBackImage("IconDownChevron");
}

std::shared_ptr<NavigationBarTheme> NavigationBarModeEditObjc::defaultEditingTheme()
{
    return std::make_shared<NavigationBarTheme>(Color::white(), Color::black(), Color::black().withAlpha(0.4),
        nullptr, textInFont("cancel", "OpenSans-Light"), nullptr, textInFont("save", "OpenSans-SemiBold"));
}

std::shared_ptr<NavigationBarTheme> NavigationBarModeEditObjc::defaultEditing() const
{
    return defaultEditingTheme();
}

void NavigationBarModeEditObjc::enableEditing()
{
    m_editingTheme->apply(*m_navigationBar);
}

void NavigationBarModeEditObjc::disableEditing()
{
    m_disabledTheme->apply(*m_navigationBar);
}

void NavigationBarModeEditObjc::setIsEditing(bool editing)
{
    m_editing = editing;
    if (m_editing)
        enableEditing();
    else
        disableEditing();
}

void NavigationBarModeEditObjc::setUneditedDocument(const Document& document)
{
    m_uneditedDocument = document.deepCopy();
}

void NavigationBarModeEditObjc::negativePressed()
{
    if (m_saving)
        return;
    auto self = shared_from_this();
    auto listener = delegate();
    if (!listener)
        return;
    if (m_editing)
        setIsEditing(!listener->cancelled(m_uneditedDocument));
    else
        listener->done();
}

void NavigationBarModeEditObjc::positivePressed()
{
    if (m_saving)
        return;
    auto self = shared_from_this();
    auto listener = delegate();
    if (!listener)
        return;
    if (!m_editing) {
        listener->done();
        m_editing = false;
        return;
    }
    std::uint64_t save = ++m_saveCount;
    m_saving = true;
    std::weak_ptr<NavigationBarModeEditObjc> weakSelf = self;
    listener->save(
        [weakSelf, save](const Document&) {
            auto mode = weakSelf.lock();
            if (!mode || !mode->finishSave(save))
                return;
            mode->m_navigationBar->hideLoadingView();
            mode->setIsEditing(false);
        },
        [weakSelf, save](const std::string&, const std::string&, const std::string&) {
            auto mode = weakSelf.lock();
            if (!mode || !mode->finishSave(save))
                return;
            mode->m_navigationBar->hideLoadingView();
            mode->setIsEditing(true);
        });
    if (m_saving && m_saveCount == save)
        m_editing = false;
}

bool NavigationBarModeEditObjc::finishSave(std::uint64_t save)
{
    if (!m_saving || save != m_saveCount)
        return false;
    m_saving = false;
    return true;
}

}
