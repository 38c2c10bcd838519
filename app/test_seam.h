// TEST SEAM. Lets the window tests under Xvfb see the real window's state and
// stand in for the file chooser. Off unless VANTREL_TEST_SEAM=1 is in the
// environment; a user never meets it.
//
// With it on, the program reads commands from its standard input, one a line,
// and answers on its standard output:
//   state         every shown top-level window and its controls (see
//                 test_seam.cpp), whether a popup menu is open, the focused
//                 control, the positions the progress bar has taken and the
//                 messages shown, then "end"
//   choose PATH   the next OPEN takes PATH instead of showing the chooser
#pragma once

#include "converter_window.h"

namespace vantrel {

bool TestSeamRequested();
ConverterWindow* CreateWindowWithTestSeam(EncoderSetup setup);

}  // namespace vantrel
