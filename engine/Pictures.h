// The star pictures, each loaded from the resources folder at its first successful call.
#pragma once

#include "framework/Graphics.h"

fw::Ref<fw::Picture> AR1();    // star 0
fw::Ref<fw::Picture> AR2();    // star 1
fw::Ref<fw::Picture> AR3();    // star 2
fw::Ref<fw::Picture> Blank();  // drawn over a star's previous picture to erase it
