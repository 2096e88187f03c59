/* The one thing a window manager does that Wine waits for on a virtual
 * display: it marks each top-level window it sees shown as NormalState and
 * each withdrawn one as WithdrawnState (the ICCCM's WM_STATE property).
 * Without a manager, Wine's X11 driver waits up to 2 s for that mark every
 * time it hides a window it manages. Nothing else of a manager is done: no
 * frames, no placing, no focus, so windows behave as on a bare display.
 *   window-states <display>   (runs until the display closes)
 * Prints "ready" once it watches the display.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>

static void Mark(Display* display, Atom wmState, Window window, long state) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.override_redirect) return;
  long value[2] = {state, None};
  XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace, (unsigned char*)value, 2);
  XFlush(display);
}

static int IgnoreGoneWindows(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(argc > 1 ? argv[1] : NULL);
  if (display == NULL) {
    fprintf(stderr, "window-states: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreGoneWindows);
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);
  printf("ready\n");
  fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify) {
      Mark(display, wmState, event.xmap.window, NormalState);
    } else if (event.type == UnmapNotify) {
      Mark(display, wmState, event.xunmap.window, WithdrawnState);
    }
  }
}
