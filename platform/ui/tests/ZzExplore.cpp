#include "platform/ui/ScreenDriver.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/tests/ControllerFixture.h"
#include <iostream>
namespace platform::ui::test {
namespace {
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfRows(TableView&, int) override { return 3; }
    std::shared_ptr<TableViewCell> cellForRow(TableView&, const IndexPath& p) override
    {
        auto cell = std::make_shared<TableViewCell>();
        auto b = std::make_shared<Button>(ButtonType::System, Rect(200, 0, 100, 44));
        b->setTitle("Edit " + std::to_string(p.row));
        b->addAction(ControlEvent::TouchUpInside, [this, p](Control&) { log.push_back("edit " + std::to_string(p.row)); });
        cell->contentView()->addSubview(b);
        auto l = std::make_shared<Label>(Rect(10, 0, 180, 44));
        l->setText("Row " + std::to_string(p.row));
        cell->contentView()->addSubview(l);
        auto f = std::make_shared<TextField>(Rect(10, 0, 100, 20));
        f->setPlaceholder(std::string("Field " + std::to_string(p.row)));
        cell->contentView()->addSubview(f);
        return cell;
    }
    void didSelectRow(TableView&, const IndexPath& p) override { log.push_back("select " + std::to_string(p.row)); }
    std::vector<std::string> log;
};
class TableScreen : public ViewController {
public:
    TableScreen() { setTitle("Table"); }
    void loadView() override
    {
        auto v = std::make_shared<View>(Screen::main().bounds());
        table = std::make_shared<TableView>(Rect(0, 0, 320, 400));
        table->setDataSource(rows);
        table->setDelegate(rows);
        v->addSubview(table);
        auto b = std::make_shared<Button>(ButtonType::System);
        b->setTitle("Pinned");
        b->setTranslatesAutoresizingMaskIntoConstraints(false);
        v->addSubview(b);
        Constraint::activate({ leadingAnchor(b).constraintEqualTo(leadingAnchor(v), 20),
            topAnchor(b).constraintEqualTo(topAnchor(v), 500), widthAnchor(b).constraintEqualToConstant(100),
            heightAnchor(b).constraintEqualToConstant(40) });
        b->addAction(ControlEvent::TouchUpInside, [this](Control&) { rows->log.push_back("pinned"); });
        setView(v);
    }
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    std::shared_ptr<TableView> table;
};
class Explore : public ControllerFixture {};
TEST_F(Explore, Everything)
{
    auto nav = std::make_shared<NavigationController>();
    auto first = controller("First");
    nav->setViewControllers({ first }, false);
    ViewController::setRootViewController(*window, nav);
    auto screen = std::make_shared<TableScreen>();
    nav->pushViewController(screen, true);
    ScreenDriver driver;
    driver.wait(0.5);
    for (auto cmd : { "tap Edit 1", "tap Row 2", "tap Pinned", "tap Field 0", "type hello", "screen" }) {
        try {
            std::cout << cmd << " -> " << driver.execute(cmd) << "\n";
        } catch (std::exception& e) {
            std::cout << cmd << " !! " << e.what() << "\n";
        }
    }
    for (auto& l : screen->rows->log) std::cout << "log " << l << "\n";
    auto alert = std::make_shared<AlertController>(std::string("Sure?"), std::string("Really"), AlertControllerStyle::Alert);
    alert->addAction(std::make_shared<AlertAction>("OK", AlertActionStyle::Default));
    auto modalNav = std::make_shared<NavigationController>();
    modalNav->setViewControllers({ controller("ModalTop") }, false);
    screen->presentViewController(modalNav, false);
    driver.wait(0.1);
    modalNav->topViewController()->presentViewController(alert, true);
    driver.wait(0.5);
    std::cout << driver.screen().substr(0, 400) << "\n";
}
}
}
