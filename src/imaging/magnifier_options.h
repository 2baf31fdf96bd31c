#pragma once

namespace sw::imaging {

// The arguments of the imaging control's magnifier start call. The defaults are the lens the
// viewer's "Magnify" command starts: 250 x 250 window pixels at magnification 400, followed by
// the option values the viewer always passes. A plain value; shared by the control, which draws
// the lens, and the viewing logic, which asks for it.
struct MagnifierOptions {
    double width = 250.0;  // lens size, window pixels
    double height = 250.0;
    int magnification = 400;  // percent of the current view
    int option4 = 0;
    int option5 = 0;
    bool option6 = false;
    double option7 = 1.0;
    bool option8 = false;
    int option9 = 0;
    bool option10 = false;
    bool option11 = true;
};

}  // namespace sw::imaging
