#include "Zorvik/Views/FoldersView/FoldersViewNibs.h"

#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/FolderView/EmptyFolderViewObjc.h"
#include "Zorvik/Views/FolderView/FolderViewObjc.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellDelegate.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewProviders.h"
#include "Zorvik/Views/FoldersView/FoldersView.h"
#include "Zorvik/Views/Nibs/NibText.h"
#include "Zorvik/Views/UserHintsView/CreateInvoiceHint.h"
#include "Zorvik/Views/UserHintsView/FoldersTutorialView.h"
#include "Zorvik/Views/UserHintsView/UserSwipeHintsView.h"
#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/filters/TodoFilter.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"

#include <mutex>

namespace zorvik {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Color;
using platform::ui::ControlEvent;
using platform::ui::ControlState;
using platform::ui::Font;
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::View;

namespace {

std::shared_ptr<Button> button(Rect frame, const char* title, Color colour, double size)
{
    auto made = std::make_shared<Button>(ButtonType::Custom, frame);
    made->setTitle(std::string(title));
    made->setTitleColor(colour);
    made->setTitleColor(Color::white(), ControlState::Disabled);
    made->setFont(appFont("OpenSans-SemiBold", size));
    return made;
}

void buildFoldersView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 568 }));
    root->setBackgroundColor(Color::white());
    auto bar = std::make_shared<View>(Rect { 0, 0, 320, 108 });
    bar->setBackgroundColor(ColoursObjc::teal());
    root->addSubview(bar);
    auto settings = button({ 8, 20, 80, 44 }, "Settings", Color::white(), 14);
    root->addSubview(settings);
    nib.connectAction(*settings, ControlEvent::TouchUpInside, "showSettings");
    auto summary = button({ 232, 20, 80, 44 }, "Summary", Color::white(), 14);
    root->addSubview(summary);
    nib.connectAction(*summary, ControlEvent::TouchUpInside, "showInvoiceSummary");

    auto sent = button({ 0, 64, 160, 44 }, "To-Do", Color::white().withAlpha(0.6), 16);
    root->addSubview(sent);
    nib.outlet("sentButton", sent);
    nib.connectAction(*sent, ControlEvent::TouchUpInside, "showSentView");
    auto done = button({ 160, 64, 160, 44 }, "Done", Color::white().withAlpha(0.6), 16);
    root->addSubview(done);
    nib.outlet("doneButton", done);
    nib.connectAction(*done, ControlEvent::TouchUpInside, "showDoneView");
    for (auto [name, x] : { std::pair { "sentImageFlash", 120.0 }, std::pair { "doneImageFlash", 280.0 } }) {
        auto flash = std::make_shared<ImageView>(Rect { x, 80, 12, 12 });
        flash->setImage(platform::ui::Image::named("FolderTabFlash"));
        flash->setAlpha(0);
        flash->setUserInteractionEnabled(false);
        root->addSubview(flash);
        nib.outlet(name, flash);
    }

    auto holder = std::make_shared<View>(Rect { 0, 108, 320, 400 });
    root->addSubview(holder);
    nib.outlet("viewHolder", holder);
    auto create = button({ 0, 508, 320, 60 }, "New invoice", Color::white(), 17);
    create->setBackgroundColor(ColoursObjc::teal());
    root->addSubview(create);
    nib.connectAction(*create, ControlEvent::TouchUpInside, "createInvoicePressed");
    auto tutorial = nib.custom("FoldersTutorialView", { 0, 0, 320, 568 });
    root->addSubview(tutorial);
    nib.outlet("tutorialView", tutorial);

    std::map<std::string, std::shared_ptr<View>> views { { "holder", holder }, { "create", create },
        { "tutorial", tutorial } };
    nib.constrain(root, "H:|[holder]|", views);
    nib.constrain(root, "H:|[create]|", views);
    nib.constrain(root, "V:|-108-[holder][create(==60)]|", views);
    nib.constrain(root, "H:|[tutorial]|", views);
    nib.constrain(root, "V:|[tutorial]|", views);
}

void buildFoldersTutorialView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 568 }));
    auto create = nib.custom("CreateInvoiceHint", { 0, 388, 320, 180 });
    root->addSubview(create);
    nib.outlet("createInvoiceHint", create);
    auto swipe = nib.custom("UserSwipeHintsView", { 0, 200, 320, 120 });
    root->addSubview(swipe);
    nib.outlet("swipeHint", swipe);
    std::map<std::string, std::shared_ptr<View>> views { { "create", create }, { "swipe", swipe } };
    nib.constrain(root, "H:|[create]|", views);
    nib.constrain(root, "V:[create(==180)]|", views);
    nib.constrain(root, "H:|[swipe]|", views);
    nib.constrain(root, "V:|-200-[swipe(==120)]", views);
}

void buildCreateInvoiceHint(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 180 }));
    auto description = std::make_shared<Label>(Rect { 30, 30, 260, 50 });
    description->setText(std::string("Tap here to write your first invoice."));
    description->setTextAlignment(platform::ui::TextAlignment::Center);
    description->setNumberOfLines(2);
    description->setFont(appFont("OpenSans-SemiBold", 16));
    description->setTextColor(ColoursObjc::teal());
    root->addSubview(description);
    nib.outlet("tutorialDescription", description);
    auto ring = std::make_shared<ImageView>(Rect { 130, 120, 60, 60 });
    ring->setImage(platform::ui::Image::named("CreateInvoiceHintRing"));
    root->addSubview(ring);
    nib.outlet("buttonHint", ring);
}

void buildUserSwipeHintsView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 120 }));
    auto hint = std::make_shared<View>(Rect { 0, 0, 320, 120 });
    root->addSubview(hint);
    nib.outlet("hintView", hint);
    auto left = std::make_shared<ImageView>(Rect { 40, 30, 40, 40 });
    left->setImage(platform::ui::Image::named("SwipeHintIconLeft"));
    hint->addSubview(left);
    nib.outlet("swipeIconLeft", left);
    auto right = std::make_shared<ImageView>(Rect { 240, 30, 40, 40 });
    right->setImage(platform::ui::Image::named("SwipeHintIconRight"));
    hint->addSubview(right);
    nib.outlet("swipeIconRight", right);
    auto text = std::make_shared<Label>(Rect { 20, 80, 280, 30 });
    text->setTextAlignment(platform::ui::TextAlignment::Center);
    text->setFont(appFont("OpenSans-SemiBold", 16));
    text->setTextColor(ColoursObjc::teal());
    hint->addSubview(text);
    nib.outlet("swipeIndicationText", text);
}

}

void registerFoldersViewNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass("FoldersTutorialView", XibViewObjcmb::fromNib<FoldersTutorialView>);
        NibRegistry::registerClass("CreateInvoiceHint", XibViewObjcmb::fromNib<CreateInvoiceHint>);
        NibRegistry::registerClass("UserSwipeHintsView", XibViewObjcmb::fromNib<UserSwipeHintsView>);
        NibRegistry::registerClass("FoldersView", {}, [] {
            std::weak_ptr<InvoiceTableCellDelegate> nobody;
            auto todo = FolderViewObjc::make(EmptyFolderSentViewObjc::make(),
                std::make_shared<SentInvoiceTableCellViewProviderObjc>(nobody),
                std::make_shared<api::TodoFilter>());
            auto done = FolderViewObjc::make(EmptyFolderDoneViewObjc::make(),
                std::make_shared<PaidInvoiceTableCellViewProviderObjc>(nobody),
                std::make_shared<api::DoneFilter>());
            return std::static_pointer_cast<View>(
                FoldersView::make(api::Freelancer(platform::foundation::Dictionary::make()), todo, done));
        });
        NibRegistry::registerNib("FoldersView", buildFoldersView);
        NibRegistry::registerNib("FoldersTutorialView", buildFoldersTutorialView);
        NibRegistry::registerNib("CreateInvoiceHint", buildCreateInvoiceHint);
        NibRegistry::registerNib("UserSwipeHintsView", buildUserSwipeHintsView);
    });
}

}
