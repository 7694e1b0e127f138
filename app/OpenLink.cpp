#include "app/OpenLink.h"

#include "platform/WindowSystem.h"

namespace ponderix::app {

void OpenLink(platform::IWindowSystem& system, std::string_view address) noexcept {
    try {
        // A refusal (no browser registered, say) is not the caller's concern.
        static_cast<void>(system.ShellOpen(address));
    } catch (...) {  // NOLINT(bugprone-empty-catch): opening a link never fails its caller
    }
}

}  // namespace ponderix::app
