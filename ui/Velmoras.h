// The application class: the framework's application, unchanged.
#pragma once

#include "framework/Application.h"

class Velmoras : public fw::Application {};
