/* Asks an X window to close the way its close button does: the
 * WM_DELETE_WINDOW client message of the window-manager protocol.
 *   x11_close_window WINDOW_ID */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  char* end = NULL;
  const unsigned long id = argc == 2 ? strtoul(argv[1], &end, 0) : 0;
  if (end == NULL || end == argv[1] || *end != '\0') {
    fprintf(stderr, "usage: x11_close_window WINDOW_ID\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "x11_close_window: cannot open the display\n");
    return 1;
  }
  XEvent event = {0};
  event.xclient.type = ClientMessage;
  event.xclient.window = (Window)id;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, (Window)id, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent != 0 ? 0 : 1;
}
