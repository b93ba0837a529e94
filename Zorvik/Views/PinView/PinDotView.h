#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <array>
#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
}

namespace zorvik {

/// The PIN pad's row of four dots, laid out by the nib "PinDotView". The number of filled dots picks one of
/// five whole pictures, "PinDots0" to "PinDots4"; no dot is drawn by code.
class PinDotView : public XibViewObjcmb {
public:
    /// The most dots there are.
    static constexpr int kMaxDots { 4 };

    /// An empty row; make one with make() or from a nib.
    PinDotView();

    /// A row with no dot filled.
    static std::shared_ptr<PinDotView> make();

    std::string className() const override { return "PinDotView"; }

    /// How many dots are filled, 0 to 4.
    int dotCount() const { return m_dotCount; }
    /// The picture names, indexed by the number of filled dots.
    const std::array<std::string, kMaxDots + 1>& imagePaths() const { return m_imagePaths; }

    /// Fills one more dot; at four it stays at four.
    void addDot();
    /// Empties the last filled dot; with none filled it stays at none.
    void removeDot();
    /// Empties every dot.
    void clear();

    /// The picture of the dots.
    std::shared_ptr<platform::ui::ImageView> dotsImageView() const { return m_dotsImageView.lock(); }

private:
    void showDots(int count);

    std::weak_ptr<platform::ui::ImageView> m_dotsImageView;
    int m_dotCount { 0 };
    std::array<std::string, kMaxDots + 1> m_imagePaths { "PinDots0", "PinDots1", "PinDots2", "PinDots3",
        "PinDots4" };
};

}
