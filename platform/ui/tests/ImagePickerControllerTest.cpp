#include "platform/ui/ImagePickerController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Image.h"
#include "platform/ui/tests/ControllerFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform::ui::test {
namespace {

using ::testing::ElementsAre;

/// Keeps what it is told and dismisses the picker as the app's screens do.
class PickingScreen : public ViewController, public ImagePickerControllerDelegate {
public:
    void didFinishPicking(ImagePickerController&, const ImagePickerInfo& info) override
    {
        picked.push_back(info);
        dismissViewController(true);
    }
    void didCancel(ImagePickerController&) override
    {
        ++cancels;
        dismissViewController(true);
    }

    std::vector<ImagePickerInfo> picked;
    int cancels { 0 };
};

class ImagePickerControllerTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        ViewController::setRootViewController(*window, screen);
        picker->setDelegate(screen);
        foundation::Log::setCapture([this](const std::string& line) { logLines.push_back(line); });
    }

    void TearDown() override
    {
        foundation::Log::setCapture({});
        ImagePickerController::setCameraAvailable(true);
        ControllerFixture::TearDown();
    }

    std::shared_ptr<PickingScreen> screen { std::make_shared<PickingScreen>() };
    std::shared_ptr<ImagePickerController> picker { std::make_shared<ImagePickerController>() };
    std::vector<std::string> logLines;
};

TEST_F(ImagePickerControllerTest, MissingCameraShowsNothingAndEndsAsACancel)
{
    ImagePickerController::setCameraAvailable(false);
    EXPECT_FALSE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera));
    EXPECT_TRUE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::PhotoLibrary));

    picker->setSourceType(ImagePickerSourceType::Camera);
    bool completed = false;
    screen->presentViewController(picker, true, [&] { completed = true; });
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_EQ(picker->presentationError(), "Source type 1 not available");
    EXPECT_THAT(logLines,
        ElementsAre("Warning: Cannot present <ImagePickerController>: Source type 1 not available"));
    advance(1);
    EXPECT_EQ(screen->cancels, 1);
    EXPECT_FALSE(completed);

    picker->setSourceType(ImagePickerSourceType::PhotoLibrary);
    screen->presentViewController(picker, false);
    EXPECT_EQ(screen->presentedViewController(), picker);
    EXPECT_FALSE(picker->presentationError());
}

TEST_F(ImagePickerControllerTest, PickedPhotoIsCroppedWhenEditingIsAllowed)
{
    picker->setSourceType(ImagePickerSourceType::Camera);
    picker->setAllowsEditing(true);
    screen->presentViewController(picker, true);
    advance(ViewController::modalTransitionDuration);

    picker->pickImage(ImagePickerController::sampleImage());
    ASSERT_EQ(screen->picked.size(), 1U);
    EXPECT_EQ(screen->picked[0].originalImage->pixelWidth(), 640);
    ASSERT_TRUE(screen->picked[0].editedImage);
    EXPECT_EQ(screen->picked[0].editedImage->size(), Size(480, 480));
    advance(ViewController::modalTransitionDuration);
    EXPECT_EQ(screen->presentedViewController(), nullptr);

    picker->setAllowsEditing(false);
    screen->presentViewController(picker, false);
    picker->pickImage(ImagePickerController::sampleImage());
    EXPECT_FALSE(screen->picked[1].editedImage);
}

TEST_F(ImagePickerControllerTest, PickerWithoutDelegateDismissesItselfOnCancel)
{
    picker->setDelegate({});
    screen->presentViewController(picker, false);
    picker->cancel();
    advance(ViewController::modalTransitionDuration);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_EQ(screen->cancels, 0);
}

}
}
