#include "presenter.h"

#include <algorithm>
#include <vector>

#include "frame_convert.h"

namespace tx {
namespace {

bool rendererTakes(const SDL_RendererInfo& info, uint32_t format) {
    return std::find(info.texture_formats, info.texture_formats + info.num_texture_formats,
                     format) != info.texture_formats + info.num_texture_formats;
}

// A 32-bit format the renderer takes; with blending off the unused top byte never shows.
uint32_t wordFormat(const SDL_RendererInfo& info) {
    return rendererTakes(info, SDL_PIXELFORMAT_RGB888) ? SDL_PIXELFORMAT_RGB888
                                                       : SDL_PIXELFORMAT_ARGB8888;
}

}  // namespace

std::unique_ptr<Presenter> Presenter::create(SDL_Window* window, bool software) {
    SDL_Renderer* renderer = nullptr;
    if (!software) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer == nullptr) {
        // The software renderer draws into the window's surface; without this SDL would back
        // that surface with a hardware renderer of its own, which costs a GPU context (and
        // most of a second) on a driver without a display.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (renderer == nullptr) return nullptr;
    return std::make_unique<Presenter>(Key(), renderer);
}

Presenter::Presenter(Key, SDL_Renderer* renderer) : renderer_(renderer) {
    SDL_GetRendererInfo(renderer_, &info_);
}

Presenter::~Presenter() {
    releaseTexture();
    SDL_DestroyRenderer(renderer_);
}

void Presenter::releaseTexture() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    textureWidth_ = textureHeight_ = textureDepth_ = 0;
}

bool Presenter::prepare(int32_t width, int32_t height, int32_t depth) {
    if (texture_ != nullptr && width == textureWidth_ && height == textureHeight_ &&
        depth == textureDepth_)
        return true;
    releaseTexture();
    uint32_t format = wordFormat(info_);
    upload_ = Upload::direct;
    switch (depth) {
        case 16:
            // Always widened here: renderers that take 5-6-5 textures convert them at every
            // present anyway, and SDL's software blitter rounds (white would show as 0xFFFEFF).
            upload_ = Upload::converted;
            break;
        case 24:
            if (rendererTakes(info_, SDL_PIXELFORMAT_BGR24))
                format = SDL_PIXELFORMAT_BGR24;
            else
                upload_ = Upload::converted;
            break;
        case 32:
            break;
        default:
            return false;
    }
    texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture_ == nullptr) return false;
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    textureWidth_ = width;
    textureHeight_ = height;
    textureDepth_ = depth;
    return true;
}

bool Presenter::upload(const FramePixels& frame) {
    if (frame.pixels == nullptr || !prepare(frame.width, frame.height, frame.depth)) return false;
    if (upload_ == Upload::direct)
        return SDL_UpdateTexture(texture_, nullptr, frame.pixels, static_cast<int>(frame.pitch)) ==
               0;
    void* target = nullptr;
    int targetPitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &target, &targetPitch) != 0) return false;
    auto* out = static_cast<uint8_t*>(target);
    const uint8_t* in = frame.pixels;
    for (int32_t y = 0; y < frame.height; ++y, out += targetPitch, in += frame.pitch)
        convertRow(reinterpret_cast<uint32_t*>(out), in, frame.width, frame.depth);
    SDL_UnlockTexture(texture_);
    return true;
}

void Presenter::show(Placement placement, SDL_Texture* overlay, PixelRect at) {
    int outWidth = 0, outHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outWidth, &outHeight);
    const PixelRect placed =
        placePicture(placement, outWidth, outHeight, textureWidth_, textureHeight_);
    const SDL_Rect target{placed.x, placed.y, placed.w, placed.h};
    // Black around the picture, where it leaves part of the output uncovered.
    if (target.x > 0 || target.y > 0 || target.x + target.w < outWidth ||
        target.y + target.h < outHeight) {
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
    }
    if (texture_ != nullptr) SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    if (overlay != nullptr && textureWidth_ > 0 && textureHeight_ > 0) {
        const auto scaleX = [&](int64_t v) {
            return static_cast<int>(placed.x + v * placed.w / textureWidth_);
        };
        const auto scaleY = [&](int64_t v) {
            return static_cast<int>(placed.y + v * placed.h / textureHeight_);
        };
        const SDL_Rect box{scaleX(at.x), scaleY(at.y), scaleX(at.x + at.w) - scaleX(at.x),
                           scaleY(at.y + at.h) - scaleY(at.y)};
        SDL_RenderCopy(renderer_, overlay, nullptr, &box);
    }
    SDL_RenderPresent(renderer_);
}

bool Presenter::presentOverlay(const FramePixels& overlay, PixelRect at, Placement placement) {
    if (texture_ == nullptr || overlay.pixels == nullptr || overlay.width <= 0 ||
        overlay.height <= 0)
        return false;
    // Widened to 0x00RRGGBB words whatever the frame's depth: it is drawn once.
    std::vector<uint32_t> words(static_cast<size_t>(overlay.width) * overlay.height);
    const uint8_t* in = overlay.pixels;
    for (int32_t y = 0; y < overlay.height; ++y, in += overlay.pitch)
        convertRow(words.data() + static_cast<size_t>(y) * overlay.width, in, overlay.width,
                   overlay.depth);
    SDL_Texture* texture = SDL_CreateTexture(renderer_, wordFormat(info_), SDL_TEXTUREACCESS_STATIC,
                                             overlay.width, overlay.height);
    if (texture == nullptr) return false;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    const bool uploaded = SDL_UpdateTexture(texture, nullptr, words.data(), overlay.width * 4) == 0;
    if (uploaded) show(placement, texture, at);
    SDL_DestroyTexture(texture);
    return uploaded;
}

bool Presenter::present(const FramePixels& frame, Placement placement) {
    if (!upload(frame)) return false;
    show(placement);
    return true;
}

bool Presenter::setVSync(bool on) {
    const int wanted = on ? 1 : 0;
    if (wanted == vsync_) return true;
    if (SDL_RenderSetVSync(renderer_, wanted) != 0) return false;
    vsync_ = wanted;
    return true;
}

}  // namespace tx
