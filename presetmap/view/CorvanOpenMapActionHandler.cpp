#include "presetmap/view/CorvanOpenMapActionHandler.h"

#include "editor/ModalCalls.h"
#include "presetmap/view/CPresetBrowserWindow.h"

namespace corvex {

namespace {

std::unique_ptr<ModalCalls> ownCallsUnless(ModalCalls* given) {
    return given != nullptr ? nullptr : std::make_unique<JuceModalCalls>();
}

} // namespace

CorvanOpenMapActionHandler::CorvanOpenMapActionHandler(const MorvaneFindFolder& folder, ModalCalls* modal)
    : folder_(folder), ownModal_(ownCallsUnless(modal)), modal_(modal != nullptr ? *modal : *ownModal_) {}

CorvanOpenMapActionHandler::~CorvanOpenMapActionHandler() {
    cancelPendingUpdate();
    for (auto& window : closing_) deleteWindow(window);
    deleteWindow(window_);
    adapter_.reset();
}

void CorvanOpenMapActionHandler::deleteWindow(std::unique_ptr<CPresetBrowserWindow>& window) {
    if (window == nullptr) return;
    window->removeComponentListener(this);
    window.reset();
}

void CorvanOpenMapActionHandler::toggleBrowser(CorvanMultiFilterManager* patches, CorvanAudioFilter* instrument) {
    if (adapter_ == nullptr) {
        if (patches == nullptr || instrument == nullptr) return;
        adapter_ = std::make_unique<CorvanSoundmapAdapter>(*patches, *instrument, folder_, this);
    }
    if (window_ != nullptr) {
        window_->setVisible(!window_->isVisible());
        return;
    }
    window_ = std::make_unique<CPresetBrowserWindow>(*adapter_, modal_);
    window_->setTopLeftPosition(kWindowX, kWindowY);
    window_->addComponentListener(this);
    window_->setVisible(true);
}

void CorvanOpenMapActionHandler::closeBrowser() {
    if (window_ == nullptr) return;
    window_->setVisible(false);
    closing_.push_back(std::move(window_));
    triggerAsyncUpdate();
}

void CorvanOpenMapActionHandler::handleAsyncUpdate() {
    for (auto& window : closing_) deleteWindow(window);
    closing_.clear();
}

} // namespace corvex
