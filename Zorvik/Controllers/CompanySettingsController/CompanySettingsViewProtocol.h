#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace zorvik {

class CompanySettingsControllerProtocol;

/// What the settings actions object needs of the menu view.
class CompanySettingsViewProtocol {
public:
    virtual ~CompanySettingsViewProtocol() = default;

    /// The actions object that hears the menu, held weakly.
    virtual std::shared_ptr<CompanySettingsControllerProtocol> settingsController() const = 0;
    /// Sets the actions object, held weakly.
    virtual void setSettingsController(const std::weak_ptr<CompanySettingsControllerProtocol>& controller)
        = 0;
    /// The business the menu is for.
    virtual const platform::foundation::DictionaryRef& business() const = 0;
    /// Replaces the business the menu is for.
    virtual void setBusiness(platform::foundation::DictionaryRef business) = 0;
    /// Tells the user `message` under `title` in a dialog with an "OK" button.
    virtual void showMessage(const std::string& title, const std::string& message) = 0;
};

}
