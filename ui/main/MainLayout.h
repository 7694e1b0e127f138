// The main window's layout (fMain): a borderless 488 x 405 window whose
// background picture draws its panels, with three picture buttons for a title
// bar, the weight, height and result panels, and the five-colour legend.
#pragma once

#include "platform/Layout.h"

namespace ponderix::ui {

const platform::WindowSpec& MainLayout();

}  // namespace ponderix::ui
