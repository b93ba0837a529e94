#include "platform/ui/VisualFormat.h"

#include "platform/ui/View.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform::ui;
using testing::ElementsAreArray;
using testing::HasSubstr;

namespace {

class VisualFormatTest : public testing::Test {
protected:
    VisualFormatTest()
    {
        for (auto& [view, name] :
            { std::pair { parent, "parent" }, { subview, "subview" }, { divider, "divider" } })
            view->setAccessibilityLabel(name);
        parent->addSubview(subview);
        parent->addSubview(divider);
    }

    std::vector<std::string> descriptions(
        const std::string& format, const VisualFormat::Metrics& metrics = {})
    {
        std::vector<std::string> texts;
        for (const auto& constraint : VisualFormat::constraints(format, views, metrics))
            texts.push_back(constraint->description());
        return texts;
    }

    std::shared_ptr<View> parent = std::make_shared<View>();
    std::shared_ptr<View> subview = std::make_shared<View>();
    std::shared_ptr<View> divider = std::make_shared<View>();
    VisualFormat::Views views { { "subview", subview }, { "divider", divider } };
};

}

TEST_F(VisualFormatTest, FormatsGiveTheConstraintsTheyPicture)
{
    struct Case {
        std::string format;
        std::vector<std::string> constraints;
    };
    const std::string s = "View 'subview'";
    const std::string p = "View 'parent'";
    const std::string d = "View 'divider'";
    std::vector<Case> cases {
        { "H:|-0-[subview]-0-|",
            { s + ".leading == " + p + ".leading", p + ".trailing == " + s + ".trailing" } },
        { "V:|-0-[subview]-0-|", { s + ".top == " + p + ".top", p + ".bottom == " + s + ".bottom" } },
        { "|[subview]|", { s + ".leading == " + p + ".leading", p + ".trailing == " + s + ".trailing" } },
        { "H:|-8-[subview(==68)]", { s + ".leading == " + p + ".leading + 8", s + ".width == 68" } },
        { "H:[subview(==68)]-8-|", { s + ".width == 68", p + ".trailing == " + s + ".trailing + 8" } },
        { "V:[subview(==40)]-5-[divider]", { s + ".height == 40", d + ".top == " + s + ".bottom + 5" } },
        { "V:[subview(==44.000000)]", { s + ".height == 44" } },
        { "V:|-0-[subview(==63.500000)]", { s + ".top == " + p + ".top", s + ".height == 63.5" } },
        { "V:[subview]-0-[divider]", { d + ".top == " + s + ".bottom" } },
        { "V:|-(>=0)-[subview]", { s + ".top >= " + p + ".top" } },
        { "H:[subview]-[divider]-|",
            { d + ".leading == " + s + ".trailing + 8", p + ".trailing == " + d + ".trailing + 20" } },
        { "H:[subview(>=10,<=wide@750)][divider(==subview)]",
            { s + ".width >= 10", s + ".width <= 200 @750", d + ".leading == " + s + ".trailing",
                d + ".width == " + s + ".width" } },
        { "V: | - margin - [ subview ] - ( <= -4 @ low ) - | ",
            { s + ".top == " + p + ".top + 16", p + ".bottom <= " + s + ".bottom - 4 @250" } },
    };
    for (const auto& c : cases) {
        VisualFormat::Metrics metrics { { "wide", 200 }, { "margin", 16 }, { "low", 250 } };
        EXPECT_THAT(descriptions(c.format, metrics), ElementsAreArray(c.constraints)) << c.format;
    }
}

TEST_F(VisualFormatTest, BadFormatsAreReportedWithThePlace)
{
    struct Case {
        std::string format;
        std::string message;
    };
    std::vector<Case> cases {
        { "H:|-0-[missing]-0-|",
            "'missing' is not a key in the views dictionary\nH:|-0-[missing]-0-|\n       ^" },
        { "H:|-gap-[subview]", "'gap' is not a key in the metrics dictionary" },
        { "H:[subview(==other)]", "'other' is not a key in the metrics or views dictionary" },
        { "H:[subview", "expected ']'" },
        { "H:|-8-", "expected a view" },
        { "H:[subview]-8-|-", "unexpected text after the closing '|'" },
        { "H:[subview(==10@2000)]", "a priority lies between 1 and 1000" },
        { "X:[subview]", "expected a view" },
    };
    for (const auto& c : cases) {
        try {
            VisualFormat::constraints(c.format, views);
            ADD_FAILURE() << c.format << " parsed";
        } catch (const LayoutError& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.message)) << c.format;
        }
    }
}

TEST_F(VisualFormatTest, TheSuperviewBarNeedsASuperview)
{
    auto loose = std::make_shared<View>();
    try {
        VisualFormat::constraints("H:|[loose]", { { "loose", loose } });
        FAIL() << "parsed";
    } catch (const LayoutError& error) {
        EXPECT_THAT(error.what(), HasSubstr("'|' stands for the superview, but View has none"));
    }
    EXPECT_EQ(VisualFormat::constraints("H:[loose(==3)]", { { "loose", loose } }).size(), 1u);
}
