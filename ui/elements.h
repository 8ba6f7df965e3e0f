// The skinned toolkit's elements: the base, the push button, the link and the selector.
#pragma once

#include "ui/element.h"
#include "ui/button.h"
#include "ui/link.h"
#include "ui/selector.h"
