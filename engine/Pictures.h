// The star pictures, each loaded from the resources folder at its first successful call.
#pragma once

#include "framework/Graphics.h"

// Each returns its cached reference, valid for the life of the process; nil while its
// picture cannot be loaded.
const fw::Ref<fw::Picture>& AR1();    // star 0
const fw::Ref<fw::Picture>& AR2();    // star 1
const fw::Ref<fw::Picture>& AR3();    // star 2
const fw::Ref<fw::Picture>& Blank();  // drawn over a star's previous picture to erase it
