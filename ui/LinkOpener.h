// How the windows open the publisher's web address. The program's start-up
// hands each window the way to reach the desktop's shell when it makes it, so
// the windows never depend on the start-up code. An opener never fails towards
// the window that calls it.
#pragma once

#include <functional>
#include <string_view>

namespace ponderix::ui {

using LinkOpener = std::function<void(std::string_view address)>;

}  // namespace ponderix::ui
