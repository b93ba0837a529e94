#include "Zorvik/Views/Nibs/FormRows.h"

#include "Zorvik/Views/LineView/LineView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"

namespace zorvik {

using platform::ui::Rect;

namespace {

// The margins at both sides and the width of the prompts.
constexpr double kMargin = 20;
constexpr double kPromptWidth = 120;

}

FormRow FormRow::add(platform::ui::NibBuilder& nib, platform::ui::View& root, double top,
    const std::string& prompt, std::shared_ptr<platform::ui::TextField> field, const std::string& placeholder,
    const std::string& beganEditing)
{
    double width = root.bounds().width();
    FormRow row;
    row.prompt = std::make_shared<platform::ui::Label>();
    row.prompt->setFrame({ kMargin, top, kPromptWidth, kHeight - 1 });
    row.prompt->setFont(platform::ui::Font::named("OpenSans-SemiBold", 14).value());
    row.prompt->setTextColor(platform::ui::Color::fromBytes(0, 188, 203));
    row.prompt->setText(prompt);
    root.addSubview(row.prompt);

    row.field = std::move(field);
    row.field->setFrame({ kMargin + kPromptWidth, top, width - 2 * kMargin - kPromptWidth, kHeight - 1 });
    row.field->setFont(platform::ui::Font::named("OpenSans-Light", 16).value());
    row.field->setPlaceholder(placeholder);
    root.addSubview(row.field);
    nib.connectAction(*row.field, platform::ui::ControlEvent::EditingDidBegin, beganEditing);

    row.line = std::make_shared<LineView>(Rect { kMargin, top + kHeight - 1, width - 2 * kMargin, 1 });
    row.line->setBackgroundColor(platform::ui::Color::fromBytes(233, 233, 233));
    root.addSubview(row.line);
    return row;
}

std::shared_ptr<platform::ui::TextField> FormRow::textField()
{
    auto field = std::make_shared<platform::ui::TextField>();
    field->setAutocapitalizationType(platform::ui::AutocapitalizationType::Words);
    return field;
}

std::shared_ptr<platform::ui::View> FormRow::root(platform::ui::NibBuilder& nib, double height)
{
    auto root = std::make_shared<platform::ui::View>(
        Rect { 0, 0, platform::ui::Screen::main().bounds().width(), height });
    root->setBackgroundColor(platform::ui::Color::white());
    return nib.topLevel(root);
}

}
