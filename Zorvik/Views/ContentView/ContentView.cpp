#include "Zorvik/Views/ContentView/ContentView.h"

#include "platform/foundation/Dictionary.h"
#include "platform/ui/Label.h"

namespace zorvik {

namespace {

// The key of the business's name, which the label shows and follows.
constexpr const char* kNameKey = "name";

}

ContentView::ContentView(platform::foundation::DictionaryRef business)
    : m_business(std::move(business))
{
    declareOutlet("businessNameLabel", m_businessNameLabel);
}

ContentView::~ContentView()
{
    if (m_observedBusiness)
        m_observedBusiness->removeObserver(this, kNameKey);
}

std::shared_ptr<ContentView> ContentView::make(platform::foundation::DictionaryRef business)
{
    return create<ContentView>(platform::ui::Rect::zero(), std::move(business));
}

std::string ContentView::nib() const
{
    return "ContentView";
}

void ContentView::construct()
{
    TemplateView::construct();
    showBusinessName();
    if (m_business) {
        m_observedBusiness = m_business;
        m_observedBusiness->addObserver(std::static_pointer_cast<ContentView>(shared_from_this()), kNameKey);
    }
}

void ContentView::setBusiness(platform::foundation::DictionaryRef business)
{
    m_business = std::move(business);
    showBusinessName();
}

void ContentView::observeValue(
    platform::foundation::Dictionary&, const std::string&, const platform::foundation::Change&)
{
    showBusinessName();
}

void ContentView::showBusinessName()
{
    std::optional<std::string> name;
    if (m_business) {
        platform::foundation::Value value = m_business->get(kNameKey);
        if (const std::string* text = value.string())
            name = *text;
    }
    businessNameLabel()->setText(name);
}

}
