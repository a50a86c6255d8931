// The widget gallery's snapshot mode: it writes the window's content as a PNG and reports a failed write.
// Needs an X server (run under xvfb-run); without one the tests are skipped.
#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <sys/wait.h>

#include <cstdlib>

namespace corvex::testing {
namespace {

int runGallery(const juce::String& arguments) {
    const juce::String command = juce::String("'") + CORVEX_GALLERY_BINARY + "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.toRawUTF8());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class GallerySnapshot : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X server";
    }
    juce::TemporaryFile png{".png"};
};

TEST_F(GallerySnapshot, WritesEverySectionAsOnePicture) {
    ASSERT_EQ(runGallery("--snapshot '" + png.getFile().getFullPathName() + "'"), 0);
    const juce::Image shot = juce::ImageFileFormat::loadFrom(png.getFile());
    ASSERT_TRUE(shot.isValid());
    EXPECT_EQ(shot.getWidth(), 850);
    EXPECT_GT(shot.getHeight(), 500) << "kit, look-and-feel, LCD and skinned sections";

    // The LCD section sits on the product's dark LCD colour and draws in its grey and amber.
    int dark = 0;
    int grey = 0;
    int accent = 0;
    for (int y = 0; y < shot.getHeight(); ++y)
        for (int x = 0; x < shot.getWidth(); ++x) {
            const juce::uint32 argb = shot.getPixelAt(x, y).getARGB();
            dark += argb == 0xFF1B1B1B ? 1 : 0;
            grey += argb == 0xFF9B9B9B ? 1 : 0;
            accent += argb == 0xFFD09D4C ? 1 : 0;
        }
    const int all = shot.getWidth() * shot.getHeight();
    EXPECT_GT(dark, all / 10);
    EXPECT_GT(grey, 200);
    EXPECT_GT(accent, 50);
}

TEST_F(GallerySnapshot, AFailedWriteIsReported) {
    const juce::File missingFolder = png.getFile().getSiblingFile("no-such-folder-" + juce::String::toHexString(
                                                                                          juce::Random().nextInt64()));
    const juce::File target = missingFolder.getChildFile("gallery.png");
    EXPECT_EQ(runGallery("--snapshot '" + target.getFullPathName() + "'"), 1);
    EXPECT_FALSE(target.exists());
    EXPECT_EQ(runGallery("--snapshot"), 2) << "no file named";
}

} // namespace
} // namespace corvex::testing
