// The layouts of the two information windows: fixed dialogs, owned by the main
// window and centred over it, without a task-bar button, holding labels only.
//
// fAbout: the title (lblLogo), the description (lblAbout) and the publisher's
// link (lblURL), which lies above the description so it shows on the
// description's navy background and takes the clicks in its own rectangle.
// fQuickHelp: one label (lblQuickHelp) with the whole help text.
#pragma once

#include "platform/Layout.h"

namespace ponderix::ui {

const platform::WindowSpec& AboutLayout();
const platform::WindowSpec& QuickHelpLayout();

}  // namespace ponderix::ui
