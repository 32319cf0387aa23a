// Shows frames on the runtime window: one SDL renderer for the window's life and one streaming
// texture. 32-bit frames (and 24-bit ones where the renderer takes that layout) are uploaded as
// they are; 16-bit and other 24-bit frames are widened row by row straight into the locked
// texture.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "display_frame.h"
#include "video_device.h"

namespace tx {

class Presenter {
public:
    // A renderer for the window: the software one when there is no display (or no other
    // works), else an accelerated one. Null when none can be made.
    static std::unique_ptr<Presenter> create(SDL_Window* window, bool software);

private:
    struct Key {
        explicit Key() = default;
    };

public:
    // Made by create only (Key is private).
    Presenter(Key, SDL_Renderer* renderer);
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // Makes the texture for frames of this size and depth; false when it cannot be had.
    bool prepare(int32_t width, int32_t height, int32_t depth);
    void releaseTexture();

    // Uploads the frame and presents it. False when the upload failed (nothing is shown).
    bool present(const FramePixels& frame, Placement placement);

    // Presents the last frame again with the overlay over it at `at` (frame pixels, scaled with
    // the frame). False when no frame was uploaded or the overlay could not be.
    bool presentOverlay(const FramePixels& overlay, PixelRect at, Placement placement);

    // Asks the renderer to wait for the vertical blank when presenting; false when it cannot.
    bool setVSync(bool on);

    SDL_Renderer* renderer() const { return renderer_; }

private:
    enum class Upload { direct, converted };  // rows widened to 0x00RRGGBB words

    bool upload(const FramePixels& frame);
    // Copies the texture (and an overlay texture at `at`, in the texture's pixels) and presents.
    void show(Placement placement, SDL_Texture* overlay = nullptr, PixelRect at = {});

    SDL_Renderer* renderer_;
    SDL_RendererInfo info_{};
    SDL_Texture* texture_ = nullptr;
    int32_t textureWidth_ = 0;
    int32_t textureHeight_ = 0;
    int32_t textureDepth_ = 0;
    Upload upload_ = Upload::direct;
    int vsync_ = -1;  // unknown until set
};

}  // namespace tx
