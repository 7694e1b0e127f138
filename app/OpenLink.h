// Opens a web address in the user's default browser through the desktop's
// shell. It never fails towards its caller: a shell that refuses the address,
// or a window system that cannot ask, leaves the program as it was.
#pragma once

#include <string_view>

namespace ponderix::platform {
class IWindowSystem;
}

namespace ponderix::app {

void OpenLink(platform::IWindowSystem& system, std::string_view address) noexcept;

}  // namespace ponderix::app
