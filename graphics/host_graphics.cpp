#include "host_graphics.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "font_loader.h"

namespace tx {
namespace {

constexpr const char* kDefaultFontName = "courier";
constexpr int32_t kDefaultFontHeight = 12;

}  // namespace

FramePixels HostGraphics::CanvasFrame::pixels() const {
    return {canvas_.pixels(), canvas_.pitch(), canvas_.getWidth(), canvas_.getHeight(),
            canvas_.getDepth()};
}

std::unique_ptr<HostGraphics> HostGraphics::open(Display& display, HandleTable<HostCanvas>& handles,
                                                 int32_t width, int32_t height, int32_t depth,
                                                 int32_t driverIndex, uint32_t flags) {
    const std::optional<int32_t> displayDepth =
        display.openGraphics(width, height, depth, driverIndex, flags);
    if (!displayDepth) return nullptr;
    const std::optional<PixelFormat> format = PixelFormat::forDepth(*displayDepth);
    // New canvases are zero, which is black in every display format: both buffers start clear.
    std::unique_ptr<HostCanvas> front =
        format ? HostCanvas::create(width, height, *format) : nullptr;
    std::unique_ptr<HostCanvas> back;
    if (front != nullptr) {
        const bool windowed = (flags & Display::kWindowed) != 0;
        back = windowed ? HostCanvas::createSharing(*front)
                        : HostCanvas::create(width, height, *format);
    }
    if (back == nullptr) {
        display.closeGraphics();
        return nullptr;
    }
    auto graphics =
        std::make_unique<HostGraphics>(Key(), display, handles, std::move(front), std::move(back));
    if (graphics->frontHandle_ == 0 || graphics->backHandle_ == 0) return nullptr;
    graphics->defaultFont_ = loadFont(kDefaultFontName, kDefaultFontHeight, 0, *format, width);
    graphics->front_->setFont(graphics->defaultFont_.get());
    graphics->back_->setFont(graphics->defaultFont_.get());
    display.showFrames(&graphics->frontFrame_, &graphics->backFrame_);
    display.setMessagePainter(graphics.get());
    return graphics;
}

HostGraphics::HostGraphics(Key, Display& display, HandleTable<HostCanvas>& handles,
                           std::unique_ptr<HostCanvas> front, std::unique_ptr<HostCanvas> back)
    : display_(display),
      handles_(handles),
      front_(std::move(front)),
      back_(std::move(back)),
      frontFrame_(*front_),
      backFrame_(*back_),
      frontHandle_(handles_.insert(front_.get())),
      backHandle_(handles_.insert(back_.get())) {}

HostGraphics::~HostGraphics() {
    // The display stops reading the buffers before they go.
    if (display_.messagePainter() == this) display_.setMessagePainter(nullptr);
    display_.closeGraphics();
    for (auto& [handle, canvas] : canvases_) handles_.remove(handle);
    canvases_.clear();
    if (backHandle_ != 0) handles_.remove(backHandle_);
    if (frontHandle_ != 0) handles_.remove(frontHandle_);
    back_.reset();
    front_.reset();
}

void HostGraphics::replaceFont(const HostFont* gone, HostFont* with) {
    const auto replace = [&](HostCanvas& canvas) {
        if (canvas.font() == gone) canvas.setFont(with);
    };
    replace(*front_);
    replace(*back_);
    for (auto& [handle, canvas] : canvases_) replace(*canvas);
}

HostGraphics::NewCanvas HostGraphics::createCanvas(int32_t width, int32_t height) {
    // Zeroed memory is the black a cleared canvas has.
    return adoptCanvas(HostCanvas::create(width, height, format()));
}

HostGraphics::NewCanvas HostGraphics::adoptCanvas(std::unique_ptr<HostCanvas> canvas) {
    if (canvas == nullptr || !(canvas->format() == format())) return {};
    const uint32_t handle = handles_.insert(canvas.get());
    if (handle == 0) return {};
    HostCanvas* made = canvas.get();
    canvases_.emplace(handle, std::move(canvas));
    return {handle, made};
}

bool HostGraphics::freeCanvas(uint32_t handle) {
    const auto found = canvases_.find(handle);
    if (found == canvases_.end()) return false;
    handles_.remove(handle);
    canvases_.erase(found);
    return true;
}

void HostGraphics::flip(bool vwait) {
    if (pageFlipping()) swapPages();
    display_.flip(vwait);
}

// The pages trade pixel memory; each canvas keeps its drawing state, as a surface of a flipping
// chain keeps its interface while its memory moves. open makes both pages alike, so the
// exchange always takes place.
void HostGraphics::swapPages() {
    front_->exchangePixels(*back_);
}

}  // namespace tx
