#pragma once

namespace animation {

// The animation window's geometry. A script gives the window's outer size; the client area
// is that size less a single fixed border of 3 pixels on every side and a caption bar of 19,
// and the button panel takes the bottom 41 pixels of the client area. The drawing bitmap
// has the outer size; its top-left part is what the window shows.
inline constexpr int kBorderWidth = 3;
inline constexpr int kCaptionHeight = 19;
inline constexpr int kPanelHeight = 41;

// The client area as designed, before the first script sizes the window.
inline constexpr int kDesignClientWidth = 513;
inline constexpr int kDesignClientHeight = 246;

// Any size a script asks for is brought into this range, so that no script can ask for a
// giant bitmap or a window too small for its buttons.
inline constexpr int kMinWindowSide = 100;
inline constexpr int kMaxWindowSide = 4000;

// The requested side truncated to an integer and clamped to the range above.
int ClampWindowSide(long double requested);

constexpr int ClientWidth(int outerWidth) {
    return outerWidth - 2 * kBorderWidth;
}
constexpr int ClientHeight(int outerHeight) {
    return outerHeight - 2 * kBorderWidth - kCaptionHeight;
}
constexpr int OuterWidth(int clientWidth) {
    return clientWidth + 2 * kBorderWidth;
}
constexpr int OuterHeight(int clientHeight) {
    return clientHeight + 2 * kBorderWidth + kCaptionHeight;
}
// The top of the button panel in client coordinates.
constexpr int PanelTop(int outerHeight) {
    return ClientHeight(outerHeight) - kPanelHeight;
}

} // namespace animation
