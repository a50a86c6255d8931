// corvex-gallery: a window showing every widget of the kit and the LCD set. With --snapshot FILE it writes the
// window's content as a PNG and exits (exit code 1 when the file could not be written), so that it runs under
// Xvfb in a test.
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>
#include <memory>

#include "tools/gallery/GalleryGui.h"
#include "tools/gallery/GalleryWindow.h"

namespace corvex::gallery {

class GalleryApplication : public juce::JUCEApplication {
public:
    const juce::String getApplicationName() override { return "corvex-gallery"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise(const juce::String&) override {
        const juce::StringArray args = getCommandLineParameterArray();
        const int at = args.indexOf("--snapshot");
        if (at >= 0 && at + 1 >= args.size()) {
            std::fprintf(stderr, "usage: corvex-gallery [--snapshot FILE.png]\n");
            setApplicationReturnValue(2);
            quit();
            return;
        }
        window_ = std::make_unique<GalleryWindow>(gui_);
        // With no X server to reach there is no main display to centre on.
        if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr)
            window_->centreWithSize(window_->getWidth(), window_->getHeight());
        window_->setVisible(true);
        if (at >= 0) {
            const juce::File target = juce::File::getCurrentWorkingDirectory().getChildFile(args[at + 1]);
            // Once the window is on screen and painted.
            juce::Timer::callAfterDelay(300, [this, target] {
                setApplicationReturnValue(writeSnapshot(target) ? 0 : 1);
                quit();
            });
        }
    }

    void shutdown() override { window_.reset(); }
    void systemRequestedQuit() override { quit(); }

private:
    bool writeSnapshot(const juce::File& target) {
        const juce::Image picture = window_->snapshot();
        // Written beside the target and renamed over it, so a failed write leaves no half file.
        const juce::TemporaryFile temp(target);
        {
            juce::FileOutputStream out(temp.getFile());
            if (!out.openedOk() || !juce::PNGImageFormat().writeImageToStream(picture, out)) {
                std::fprintf(stderr, "corvex-gallery: cannot write %s\n", target.getFullPathName().toRawUTF8());
                return false;
            }
            out.flush();
            if (out.getStatus().failed()) return false;
        }
        if (!temp.overwriteTargetFileWithTemporary()) {
            std::fprintf(stderr, "corvex-gallery: cannot write %s\n", target.getFullPathName().toRawUTF8());
            return false;
        }
        std::printf("%s: %d x %d\n", target.getFullPathName().toRawUTF8(), picture.getWidth(), picture.getHeight());
        return true;
    }

    GalleryGui gui_;
    std::unique_ptr<GalleryWindow> window_;
};

} // namespace corvex::gallery

START_JUCE_APPLICATION(corvex::gallery::GalleryApplication)
