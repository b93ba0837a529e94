#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <string>

namespace platform::ui {
class Image;
class ImageView;
class Label;
}

namespace zorvik {

/// What an empty folder shows instead of its list: an icon, a title and an explanation, laid out by the
/// nib "EmptyFolderView".
class EmptyFolderViewObjc : public XibViewObjcmb {
public:
    EmptyFolderViewObjc();

    /// An empty-folder view showing the three.
    static std::shared_ptr<EmptyFolderViewObjc> make(std::shared_ptr<const platform::ui::Image> image,
        const std::string& titleText, const std::string& explanationText);

    std::string className() const override { return "EmptyFolderViewObjc"; }
    std::string nib() const override { return "EmptyFolderView"; }

    std::shared_ptr<platform::ui::ImageView> icon() const { return m_icon.lock(); }
    std::shared_ptr<platform::ui::Label> title() const { return m_title.lock(); }
    std::shared_ptr<platform::ui::Label> explanation() const { return m_explanation.lock(); }

protected:
    /// Shows the three.
    void fill(std::shared_ptr<const platform::ui::Image> image, const std::string& titleText,
        const std::string& explanationText);

private:
    std::weak_ptr<platform::ui::ImageView> m_icon;
    std::weak_ptr<platform::ui::Label> m_title;
    std::weak_ptr<platform::ui::Label> m_explanation;
};

/// The empty To-Do folder: "Your To-Do list."
class EmptyFolderSentViewObjc : public EmptyFolderViewObjc {
public:
    static std::shared_ptr<EmptyFolderSentViewObjc> make();
    std::string className() const override { return "EmptyFolderSentViewObjc"; }
};

/// The empty Done folder: "Your Done list."
class EmptyFolderDoneViewObjc : public EmptyFolderViewObjc {
public:
    static std::shared_ptr<EmptyFolderDoneViewObjc> make();
    std::string className() const override { return "EmptyFolderDoneViewObjc"; }
};

}
