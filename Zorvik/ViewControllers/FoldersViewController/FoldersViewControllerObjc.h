#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace zorvik {

/// The home screen with the To-Do and Done folders.
class FoldersViewControllerObjc : public platform::ui::ViewController,
                                  public ViewControllerTransitionDelegate {
public:
    /// Nothing special happens to the lists at the next appearance.
    static constexpr unsigned NO_ACTION = 0;
    /// An invoice was added: the lists animate it in at the next appearance.
    static constexpr unsigned INVOICE_SENT_ACTION = 1;
    /// An invoice was removed: the lists animate it out at the next appearance.
    static constexpr unsigned INVOICE_DELETED_ACTION = 2;

    /// A home screen without a freelancer.
    FoldersViewControllerObjc() = default;
    /// The home screen of `freelancer`, whose business holds the invoices.
    explicit FoldersViewControllerObjc(api::Freelancer freelancer)
        : m_freelancer(std::move(freelancer))
    {
    }

    std::string className() const override { return "FoldersViewControllerObjc"; }

    /// The freelancer whose invoices the screen shows, or nullopt.
    const std::optional<api::Freelancer>& freelancer() const { return m_freelancer; }

    /// The settings, create-invoice and summary screens (and their subclasses) arrive rising over this one;
    /// any other screen slides in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// The settings, create-invoice and summary screens (and their subclasses) leave rising away when an
    /// invoice was sent, else dropping away; any other screen leaves dropping away when an invoice was
    /// deleted, else as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// What the lists do at the next appearance: NO_ACTION, INVOICE_SENT_ACTION or INVOICE_DELETED_ACTION.
    unsigned animateFolderUpdatesOnViewDidAppearAction() const
    {
        return m_animateFolderUpdatesOnViewDidAppearAction;
    }
    /// Sets what the lists do at the next appearance.
    void setAnimateFolderUpdatesOnViewDidAppearAction(unsigned action)
    {
        m_animateFolderUpdatesOnViewDidAppearAction = action;
    }

private:
    std::optional<api::Freelancer> m_freelancer;
    unsigned m_animateFolderUpdatesOnViewDidAppearAction { NO_ACTION };
};

}
