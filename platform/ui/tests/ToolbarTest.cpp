#include "platform/ui/Toolbar.h"

#include "platform/ui/BarButtonItem.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(ToolbarTest, ItemsRunTheirActionsWhenTappedOnAVisibleBar)
{
    auto bar = std::make_shared<Toolbar>();
    bar->sizeToFit();
    EXPECT_EQ(bar->frame().size.height, Toolbar::height);
    int taps = 0;
    auto done
        = std::make_shared<BarButtonItem>("Done", BarButtonItemStyle::Plain, [&](BarButtonItem&) { ++taps; });
    auto space = BarButtonItem::flexibleSpace();
    bar->setItems({ space, done });
    EXPECT_EQ(bar->itemWithTitle("Done"), done);
    EXPECT_EQ(bar->itemWithTitle("Next"), nullptr);

    EXPECT_TRUE(bar->tapItem(*done));
    EXPECT_FALSE(bar->tapItem(*space));
    done->setEnabled(false);
    EXPECT_FALSE(bar->tapItem(*done));
    done->setEnabled(true);
    bar->setHidden(true);
    EXPECT_FALSE(bar->tapItem(*done));
    bar->setHidden(false);
    BarButtonItem stranger("Other", BarButtonItemStyle::Plain, [&](BarButtonItem&) { ++taps; });
    EXPECT_FALSE(bar->tapItem(stranger)) << "an item of another bar";
    EXPECT_EQ(taps, 1);

    done->setTitle("Next");
    EXPECT_EQ(bar->describe(), "Toolbar (0, 0, 320, 44) [flexible space] \"Next\"");
}

TEST(ToolbarTest, AnItemWithATargetStopsActingWhenTheTargetIsGone)
{
    BarButtonItem item("Done", BarButtonItemStyle::Done);
    EXPECT_FALSE(item.perform()) << "no action yet";
    auto target = std::make_shared<int>(0);
    item.setTarget(target, [target = std::weak_ptr<int>(target)](BarButtonItem&) { ++*target.lock(); });
    EXPECT_TRUE(item.perform());
    EXPECT_EQ(*target, 1);
    target.reset();
    EXPECT_FALSE(item.hasAction());
    EXPECT_FALSE(item.perform());
    EXPECT_EQ(BarButtonItem::fixedSpace(8)->describe(), "[fixed space 8]");
    EXPECT_EQ(BarButtonItem(BarButtonSystemItem::Done).title(), "Done");
}
