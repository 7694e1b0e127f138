// A window's file that reaches into the window core beneath the interface:
// the layering check must refuse it.
#pragma once

#include "platform/WindowSystem.h"
#include "platform/core/CoreWindow.h"
