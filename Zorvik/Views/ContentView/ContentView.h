#pragma once

#include "Zorvik/Views/ContentView/TemplateView.h"
#include "platform/foundation/Observation.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace platform::ui {
class Label;
}

namespace zorvik {

/// The code-made frame of a business screen (nib "ContentView"), beside ContentViewObjc: one label shows
/// the business's name and follows changes of the "name" of the record it was made with, for its whole
/// life, even when another business is set later.
class ContentView : public TemplateView, public platform::foundation::Observer {
public:
    /// An empty frame; make one with make().
    explicit ContentView(platform::foundation::DictionaryRef business);
    /// Stops observing the record given at construction.
    ~ContentView() override;

    /// A frame for `business` (may be null: no name, no observation).
    static std::shared_ptr<ContentView> make(platform::foundation::DictionaryRef business);

    std::string className() const override { return "ContentView"; }

    /// "ContentView".
    std::string nib() const override;

    /// The business shown, or null.
    const platform::foundation::DictionaryRef& business() const { return m_business; }
    /// Shows `business`'s name at once (no text without a record or a name); the observation stays.
    void setBusiness(platform::foundation::DictionaryRef business);

    /// Any notification: the label shows the present business's name.
    void observeValue(platform::foundation::Dictionary& object, const std::string& key,
        const platform::foundation::Change& change) override;

    /// The name label.
    std::shared_ptr<platform::ui::Label> businessNameLabel() const { return m_businessNameLabel.lock(); }

protected:
    /// Builds the frame, shows the business and observes its name.
    void construct() override;

private:
    void showBusinessName();

    std::weak_ptr<platform::ui::Label> m_businessNameLabel;
    platform::foundation::DictionaryRef m_business;
    platform::foundation::DictionaryRef m_observedBusiness;
};

}
