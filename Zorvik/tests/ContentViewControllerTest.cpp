#include "Zorvik/ViewControllers/ContentViewController.h"

#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/RESTAPI/Logo.h"
#include "Zorvik/Views/ContentView/ContentViewObjc.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/tests/FrameFixture.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "testing/backend/BackendFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace zorvik::test {
namespace {

using platform::foundation::DictionaryRef;
using platform::foundation::mainQueue;
using platform::ui::AlertController;
using platform::ui::Image;
using platform::ui::ImagePickerController;
using platform::ui::ImagePickerSourceType;
using platform::ui::StatusBarStyle;
using ::testing::HasSubstr;
using ::testing::Not;

/// The business settings view of these tests: the business frame around an empty content.
class LogoSettingsView : public ContentViewObjc {
public:
    using ContentViewObjc::ContentViewObjc;
    std::string className() const override { return "LogoSettingsView"; }
};

/// A business screen that shows its logo area when it loads and reports its status bar style, as the
/// settings and invoice screens do.
class LogoSettingsScreen : public ContentViewController {
public:
    explicit LogoSettingsScreen(DictionaryRef business)
        : m_business(std::move(business))
    {
        setTitle("Settings");
    }
    std::string className() const override { return "LogoSettingsScreen"; }

    void loadView() override
    {
        setView(XibViewObjcmb::create<LogoSettingsView>(platform::ui::Rect::zero(), m_business));
    }
    void viewDidLoad() override
    {
        ContentViewController::viewDidLoad();
        determineWhichLogoViewToShow();
    }
    StatusBarStyle preferredStatusBarStyle() const override { return statusBarStyle(); }
    void logoAdded() override
    {
        ContentViewController::logoAdded();
        ++logosAdded;
    }

    int logosAdded { 0 };

private:
    DictionaryRef m_business;
};

class ContentViewControllerTest : public ::testing::BackendFixture, public FramePhone {
protected:
    void SetUp() override
    {
        BackendFixture::SetUp();
        platform::foundation::Files::setHomeDirectory(m_home.path());
        UserStore::resetSharedStore();
        setenv("ZORVIK_PHOTO_URL", backend().baseUrl().c_str(), 1);
        start();
        platform::ui::NibRegistry::registerNib("LogoSettingsView", [](platform::ui::NibBuilder& nib) {
            nib.topLevel(std::make_shared<platform::ui::View>(platform::ui::Rect { 0, 0, 320, 200 }));
        });
        auto amy = signUp("amy@example.com");
        business = createBusiness(amy, api::Business::withName("Acme Ltd"))->record();
        auto& store = UserStore::sharedStore();
        auto user = store.createUserWithUsername("amy@example.com");
        user.setIsActiveUser(true);
        store.updateStore();
    }

    void TearDown() override
    {
        platform::ui::NibRegistry::removeNib("LogoSettingsView");
        ImagePickerController::setCameraAvailable(true);
        stop();
        unsetenv("ZORVIK_PHOTO_URL");
        UserStore::resetSharedStore();
        platform::foundation::Files::setHomeDirectory({});
        BackendFixture::TearDown();
    }

    /// Shows the settings screen.
    void showScreen()
    {
        screen = std::make_shared<LogoSettingsScreen>(business);
        showStack({ screen });
        view = screen->contentView();
    }

    /// Picks the sample picture (640 × 480) from the library through the screen's sheet.
    void pickPicture()
    {
        tap("Add logo");
        advance(0.5);
        driver.pickAlertAction("Select Photo");
        advance(1);
        driver.pickImage();
    }

    /// Lets the upload and the server's answer arrive, and the picker and any alert finish moving.
    void waitForTheUpload()
    {
        mainQueue().runUntil([this] { return view->spinnerContainer()->isHidden(); });
        advance(1);
    }

    /// The device user's stored logo address.
    static std::string deviceLogoUrl() { return UserStore::sharedStore().fetchActiveUser()->logoURL(); }

    /// The "logo" the back-end keeps for the business.
    std::string serverLogo() { return backend().businesses()->at(0).dictionary()->get("logo").stringValue(); }

    ::testing::TemporaryDirectory m_home;
    DictionaryRef business;
    std::shared_ptr<LogoSettingsScreen> screen;
    std::shared_ptr<ContentViewObjc> view;
};

TEST_F(ContentViewControllerTest, APickedPictureIsUploadedHalvedAndBecomesTheBusinesssLogo)
{
    showScreen();
    EXPECT_EQ(screen->loadImage(), nullptr);
    EXPECT_FALSE(view->addLogoImage()->isHidden()) << "the prompt to add a logo";
    EXPECT_EQ(screen->statusBarStyle(), StatusBarStyle::LightContent);

    tap("Add logo");
    advance(0.5);
    EXPECT_THAT(driver.screen(),
        HasSubstr(
            "AlertController \"Select an option.\" [action sheet] actions: \"Take Photo\" \"Select Photo\" "
            "\"Cancel\" (cancel)"));
    driver.pickAlertAction("Select Photo");
    advance(1);
    auto picker = std::dynamic_pointer_cast<ImagePickerController>(screen->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->sourceType(), ImagePickerSourceType::PhotoLibrary);
    EXPECT_TRUE(picker->allowsEditing());

    // The upload is answered once the busy state has been seen.
    ::testing::Gate upload;
    backend().holdRoute("POST", "/qz-image-uploads", upload);
    driver.pickImage();
    EXPECT_FALSE(view->spinnerContainer()->isHidden()) << "busy before the picker has gone";
    EXPECT_TRUE(view->logoLoadingView()->animate());
    upload.open();
    waitForTheUpload();

    EXPECT_EQ(screen->presentedViewController(), nullptr);
    ASSERT_FALSE(deviceLogoUrl().empty());
    EXPECT_EQ(serverLogo(), deviceLogoUrl());
    const std::string prefix = backend().url("/qz-image-uploads/");
    ASSERT_EQ(deviceLogoUrl().rfind(prefix, 0), 0u) << deviceLogoUrl();
    auto stored = backend().state().photo(deviceLogoUrl().substr(prefix.size()));
    auto uploaded = Image::fromPNGData(std::vector<std::uint8_t>(stored.raw.begin(), stored.raw.end()));
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(uploaded->pixelWidth(), 240) << "the cropped 480-point square, halved";
    EXPECT_EQ(uploaded->pixelHeight(), 240);

    EXPECT_TRUE(view->addLogoImage()->isHidden());
    EXPECT_FALSE(view->greyBackground()->isHidden());
    EXPECT_EQ(view->imageView()->image(), screen->convertedImage());
    EXPECT_EQ(screen->convertedImage()->size(), (platform::ui::Size { 480, 480 }));
    EXPECT_EQ(screen->logosAdded, 2);
    EXPECT_THAT(driver.screen(), HasSubstr("status bar: default"));
    EXPECT_EQ(screen->loadImage()->pixelWidth(), 240);
}

TEST_F(ContentViewControllerTest, AFailedUploadOffersARetryAndKeepsTheEarlierLogo)
{
    struct Case {
        const char* name;
        const char* method;
        const char* route;
        int status;
    };
    const Case cases[] = {
        { "the photo storage refuses", "POST", "/qz-image-uploads", 500 },
        { "the server fails", "PUT", "/api/freelancers/:freelancer/*", 500 },
        { "the server does not know the business", "PUT", "/api/freelancers/:freelancer/*", 404 },
    };
    auto earlier = ImagePickerController::sampleImage()->scaledToSize({ 10, 10 });
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto& store = UserStore::sharedStore();
        auto user = store.fetchActiveUser();
        user->setLogoURL("http://127.0.0.1/earlier.png");
        user->setLogoImage(earlier->pngData());
        store.updateStore();
        showScreen();
        EXPECT_FALSE(view->imageView()->isHidden());

        backend().failRoute(test.method, test.route, test.status, 1);
        pickPicture();
        waitForTheUpload();
        EXPECT_TRUE(view->logoLoadingView()->isHidden());
        EXPECT_THAT(driver.screen(),
            HasSubstr(
                "AlertController \"Logo Issue\" [alert] message \"Oops! \nCould not save logo.\" actions: "
                "\"Retry\" \"Cancel\" (cancel)"));
        EXPECT_EQ(deviceLogoUrl(), "http://127.0.0.1/earlier.png") << "the device keeps the earlier logo";
        EXPECT_EQ(screen->loadImage()->pixelWidth(), 10);
        EXPECT_EQ(view->imageView()->image()->pixelWidth(), 10);

        // The second upload is answered once it has been seen under way half a second on.
        ::testing::Gate upload;
        backend().holdRoute("POST", "/qz-image-uploads", upload);
        driver.pickAlertAction("Retry");
        advance(0.5);
        EXPECT_FALSE(view->spinnerContainer()->isHidden());
        upload.open();
        waitForTheUpload();
        EXPECT_NE(deviceLogoUrl(), "http://127.0.0.1/earlier.png");
        EXPECT_EQ(serverLogo(), deviceLogoUrl()) << "the same picture went up again";
        EXPECT_EQ(view->imageView()->image(), screen->convertedImage());
    }
}

TEST_F(ContentViewControllerTest, TakePhotoIsOfferedOnlyWithACamera)
{
    for (bool camera : { false, true }) {
        SCOPED_TRACE(camera ? "with a camera" : "without a camera");
        ImagePickerController::setCameraAvailable(camera);
        showScreen();
        tap("Add logo");
        advance(0.5);
        auto sheet = std::dynamic_pointer_cast<AlertController>(screen->presentedViewController());
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->actions().size(), camera ? 3u : 2u);
        if (camera) {
            driver.pickAlertAction("Take Photo");
            advance(1);
            auto picker = std::dynamic_pointer_cast<ImagePickerController>(screen->presentedViewController());
            ASSERT_TRUE(picker);
            EXPECT_EQ(picker->sourceType(), ImagePickerSourceType::Camera);
            std::size_t requests = backend().requests().size();
            driver.cancelImagePicker();
            advance(0.5);
            EXPECT_EQ(screen->presentedViewController(), nullptr);
            EXPECT_EQ(backend().requests().size(), requests) << "a cancelled picker uploads nothing";
            EXPECT_FALSE(view->addLogoImage()->isHidden());
        } else {
            driver.pickAlertAction("Cancel");
            advance(0.5);
        }
    }
}

TEST_F(ContentViewControllerTest, AShortScreenShowsTheHeaderWithoutLogoArea)
{
    auto& store = UserStore::sharedStore();
    store.fetchActiveUser()->setLogoImage(ImagePickerController::sampleImage()->pngData());
    store.updateStore();
    useScreen(platform::ui::Screen::size320x480);
    showScreen();
    EXPECT_FALSE(view->readOnlyView()->isHidden());
    EXPECT_EQ(view->addLogoButton(), nullptr);
    EXPECT_THAT(driver.screen(), Not(HasSubstr("Add logo")));
    EXPECT_EQ(screen->statusBarStyle(), StatusBarStyle::LightContent);
}

}
}
