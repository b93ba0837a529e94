#pragma once

#include "Zorvik/Views/ConfirmBusinessView/SignupBusinessView.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class Label;
}

namespace zorvik {

/// The business as the company register knows it (content nib "CompanySummaryView"): its name in the
/// header, the two address lines, county, postcode and registration number, and the confirm button. A
/// missing value shows an empty line; town and country are not shown.
class CompanySummaryView : public SignupBusinessView {
public:
    explicit CompanySummaryView(platform::foundation::DictionaryRef business);

    /// The summary of `business`, built from its nibs.
    static std::shared_ptr<CompanySummaryView> make(platform::foundation::DictionaryRef business);

    std::string className() const override { return "CompanySummaryView"; }
    /// "CompanySummaryView".
    std::optional<std::string> contentNib() const override;

    /// Shows `business` and fills the lines from it.
    void setBusiness(platform::foundation::DictionaryRef business) override;

    std::shared_ptr<platform::ui::Label> addressLn1() const { return m_addressLn1.lock(); }
    std::shared_ptr<platform::ui::Label> addressLn2() const { return m_addressLn2.lock(); }
    std::shared_ptr<platform::ui::Label> county() const { return m_county.lock(); }
    std::shared_ptr<platform::ui::Label> postCode() const { return m_postCode.lock(); }
    std::shared_ptr<platform::ui::Label> registrationNumber() const { return m_registrationNumber.lock(); }

private:
    std::weak_ptr<platform::ui::Label> m_addressLn1;
    std::weak_ptr<platform::ui::Label> m_addressLn2;
    std::weak_ptr<platform::ui::Label> m_county;
    std::weak_ptr<platform::ui::Label> m_postCode;
    std::weak_ptr<platform::ui::Label> m_registrationNumber;
};

}
