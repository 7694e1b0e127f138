// A control's file that reaches into a backend: the layering check must
// refuse it.
#pragma once

#include "platform/UserControl.h"
#include "platform/qt/QtWindow.h"
