#pragma once
// Translates the window system's key numbers into the scan-code numbering that key bindings use
// (1 = Escape, 17 = W, 57 = Space, 200 = Up arrow, ...). Used only by the platform input edge.

// The binding code of the key an X11 keycode names, or 0 for keys the game cannot bind.
int qrKeyCodeFromX11(unsigned int x11Keycode);
