#include "Zorvik/Views/SwipeableContentView/SwipeNibs.h"

#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/DirectionalScrollView/DirectionalScrollView.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableBackground.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableContentView.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"

#include <mutex>

namespace zorvik {

using platform::ui::Color;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::View;

namespace {

void buildSwipeableContentView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 80 }));
    auto scroll = std::make_shared<DirectionalScrollView>(Rect { 0, 0, 320, 80 });
    scroll->setPagingEnabled(true);
    root->addSubview(scroll);
    nib.outlet("swipeableView", scroll);
    auto visible = std::make_shared<View>(Rect { 320, 0, 320, 80 });
    visible->setBackgroundColor(Color::white());
    scroll->addSubview(visible);
    nib.outlet("visibleContent", visible);
}

// A label in the app's semibold white on the teal, beside its icon.
std::shared_ptr<platform::ui::Label> pairLabel(Rect frame, const char* text)
{
    auto label = std::make_shared<platform::ui::Label>(frame);
    label->setText(std::string(text));
    label->setTextColor(Color::white());
    label->setFont(
        platform::ui::Font::named("OpenSans-SemiBold", 15).value_or(platform::ui::Font::systemFont(15)));
    return label;
}

void buildSwipeableBackground(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 80 }));
    auto colour = std::make_shared<View>(Rect { 0, 0, 320, 80 });
    colour->setBackgroundColor(ColoursObjc::teal());
    root->addSubview(colour);
    nib.constrain(root, "H:|[colour]|", { { "colour", colour } });
    nib.constrain(root, "V:|[colour]|", { { "colour", colour } });
    nib.outlet("swipeColourView", colour);
    auto sentImage = std::make_shared<platform::ui::ImageView>(Rect { 16, 25, 30, 30 });
    sentImage->setImage(platform::ui::Image::named("SwipeIconPaid"));
    root->addSubview(sentImage);
    nib.outlet("sentImage", sentImage);
    auto sentLabel = pairLabel({ 54, 25, 150, 30 }, "paid & done");
    root->addSubview(sentLabel);
    nib.outlet("sentLabel", sentLabel);
    auto paidImage = std::make_shared<platform::ui::ImageView>(Rect { 274, 25, 30, 30 });
    paidImage->setImage(platform::ui::Image::named("SwipeIconTodo"));
    root->addSubview(paidImage);
    nib.outlet("paidImage", paidImage);
    auto paidLabel = pairLabel({ 116, 25, 150, 30 }, "back to To-Do");
    paidLabel->setTextAlignment(platform::ui::TextAlignment::Right);
    root->addSubview(paidLabel);
    nib.outlet("paidLabel", paidLabel);
}

}

void registerSwipeNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass("SwipeableBackground", {},
            [] { return std::static_pointer_cast<View>(SwipeableBackground::make(std::nullopt)); });
        NibRegistry::registerClass("SwipeableContentView", {}, [] {
            auto row = std::make_shared<View>(Rect { 0, 0, 320, 80 });
            return std::static_pointer_cast<View>(
                SwipeableContentView::make(row, SwipeableBackground::make(Color::white())));
        });
        NibRegistry::registerNib("SwipeableContentView", buildSwipeableContentView);
        NibRegistry::registerNib("SwipeableBackground", buildSwipeableBackground);
    });
}

}
