#include "Zorvik/Views/FolderView/EmptyFolderViewObjc.h"

#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

EmptyFolderViewObjc::EmptyFolderViewObjc()
{
    declareOutlet("icon", m_icon);
    declareOutlet("title", m_title);
    declareOutlet("explanation", m_explanation);
}

std::shared_ptr<EmptyFolderViewObjc> EmptyFolderViewObjc::make(
    std::shared_ptr<const platform::ui::Image> image, const std::string& titleText,
    const std::string& explanationText)
{
    auto view = create<EmptyFolderViewObjc>();
    view->fill(std::move(image), titleText, explanationText);
    return view;
}

void EmptyFolderViewObjc::fill(std::shared_ptr<const platform::ui::Image> image, const std::string& titleText,
    const std::string& explanationText)
{
    icon()->setImage(std::move(image));
    title()->setText(titleText);
    explanation()->setText(explanationText);
}

std::shared_ptr<EmptyFolderSentViewObjc> EmptyFolderSentViewObjc::make()
{
    auto view = create<EmptyFolderSentViewObjc>();
    view->fill(platform::ui::Image::named("EmptyFolderViewIconSent"), "Your To-Do list.",
        "Outstanding invoices will be saved here.");
    return view;
}

std::shared_ptr<EmptyFolderDoneViewObjc> EmptyFolderDoneViewObjc::make()
{
    auto view = create<EmptyFolderDoneViewObjc>();
    view->fill(platform::ui::Image::named("EmptyFolderViewIconPaid"), "Your Done list.",
        "Here you will find all your paid invoices.");
    return view;
}

}
