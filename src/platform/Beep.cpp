#include "platform/Beep.h"

namespace platform {

namespace {
std::function<void()>& Handler() {
    static std::function<void()> handler;
    return handler;
}
} // namespace

void SetBeepHandler(std::function<void()> handler) {
    Handler() = std::move(handler);
}

void Beep() {
    if (Handler())
        Handler()();
}

} // namespace platform
