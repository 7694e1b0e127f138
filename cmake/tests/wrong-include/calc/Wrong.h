// A file of the arithmetic that reaches up into the windows: the layering
// check must refuse it.
#pragma once

#include <string>

#include "calc/Bmi.h"
#include "ui/main/MainWindow.h"
