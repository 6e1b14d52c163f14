#include "editor/QuartzineLookAndFeel.h"

QuartzineLookAndFeel::QuartzineLookAndFeel() = default;
