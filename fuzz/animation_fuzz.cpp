// Animation scripts from the server through loading, the equations and a few frames of a
// run, on a canvas that only counts its calls.

#include "animation/AnimationPlayer.h"

#include "platform/RecordingCanvas.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

struct CountingSurface : animation::FrameSurface {
    platform::RecordingCanvas canvas;
    CountingSurface() { canvas.keepAtMost = 64; }
    platform::Canvas& Canvas() override { return canvas; }
    void Resize(int, int) override {}
    void Present() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    CountingSurface surface;
    animation::AnimationPlayer player(surface);
    player.LoadAnimation(script);
    player.ShowStill(0);
    player.StartRun(0);
    for (std::uint32_t tick = 400; player.Running() && tick <= 2000; tick += 400)
        player.TimerStep(tick);
    return 0;
}
