/* Drops files on a Wine window the way a Linux file manager would: an X drag-and-drop (XDND)
 * source that offers text/uri-list at a root position and completes the drop, so Wine itself
 * turns it into WM_DROPFILES for the window under that point. The handle of a drop cannot be
 * made in another Windows process, but an X drop reaches the program through Wine's own path.
 *   xdnd_drop X Y URI...   (DISPLAY from the environment; exit 0 when the target took the drop)
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static Display *dpy;
static Window source;
static Atom aware, selection, enter, position, status, drop, finished, copy, uri_list;
static char *uris;

static void send_client(Window target, Atom type, long l1, long l2, long l3, long l4) {
  XEvent e;
  memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.display = dpy;
  e.xclient.window = target;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = (long)source;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  e.xclient.data.l[4] = l4;
  XSendEvent(dpy, target, False, NoEventMask, &e);
  XFlush(dpy);
}

/* Answers requests for the offered data; returns the client message of `type` when it comes. */
static int wait_for(Atom type, XClientMessageEvent *got, int seconds) {
  time_t end = time(NULL) + seconds;
  while (time(NULL) < end) {
    while (XPending(dpy)) {
      XEvent e;
      XNextEvent(dpy, &e);
      if (e.type == SelectionRequest) {
        XSelectionRequestEvent *r = &e.xselectionrequest;
        XEvent reply;
        memset(&reply, 0, sizeof reply);
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = r->requestor;
        reply.xselection.selection = r->selection;
        reply.xselection.target = r->target;
        reply.xselection.time = r->time;
        reply.xselection.property = None;
        if (r->target == uri_list) {
          XChangeProperty(dpy, r->requestor, r->property, uri_list, 8, PropModeReplace, (unsigned char *)uris,
                          (int)strlen(uris));
          reply.xselection.property = r->property;
        }
        XSendEvent(dpy, r->requestor, False, NoEventMask, &reply);
        XFlush(dpy);
      } else if (e.type == ClientMessage && e.xclient.message_type == type) {
        *got = e.xclient;
        return 1;
      }
    }
    struct timespec pause = {0, 20 * 1000 * 1000};
    nanosleep(&pause, NULL);
  }
  return 0;
}

/* The innermost window at the root point that says it takes XDND drops. */
static Window aware_window_at(int x, int y) {
  Window root = DefaultRootWindow(dpy), from = root, child = None, found = None;
  int wx, wy;
  while (XTranslateCoordinates(dpy, root, from, x, y, &wx, &wy, &child) && child != None) {
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char *data = NULL;
    if (XGetWindowProperty(dpy, child, aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &left, &data) ==
            Success && type != None)
      found = child;
    if (data) XFree(data);
    from = child;
  }
  return found;
}

int main(int argc, char **argv) {
  if (argc < 4) {
    fputs("usage: xdnd_drop X Y URI...\n", stderr);
    return 2;
  }
  const int x = atoi(argv[1]), y = atoi(argv[2]);
  size_t length = 1;
  for (int i = 3; i < argc; ++i) length += strlen(argv[i]) + 2;
  uris = calloc(length, 1);
  for (int i = 3; i < argc; ++i) {
    strcat(uris, argv[i]);
    strcat(uris, "\r\n");
  }
  if (!(dpy = XOpenDisplay(NULL))) {
    fputs("xdnd_drop: no display\n", stderr);
    return 1;
  }
  aware = XInternAtom(dpy, "XdndAware", False);
  selection = XInternAtom(dpy, "XdndSelection", False);
  enter = XInternAtom(dpy, "XdndEnter", False);
  position = XInternAtom(dpy, "XdndPosition", False);
  status = XInternAtom(dpy, "XdndStatus", False);
  drop = XInternAtom(dpy, "XdndDrop", False);
  finished = XInternAtom(dpy, "XdndFinished", False);
  copy = XInternAtom(dpy, "XdndActionCopy", False);
  uri_list = XInternAtom(dpy, "text/uri-list", False);
  source = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(dpy, selection, source, CurrentTime);

  Window target = aware_window_at(x, y);
  if (target == None) {
    fputs("xdnd_drop: no window takes drops there\n", stderr);
    return 1;
  }
  XClientMessageEvent reply;
  send_client(target, enter, 5L << 24, (long)uri_list, 0, 0);
  send_client(target, position, 0, ((long)x << 16) | y, CurrentTime, (long)copy);
  if (!wait_for(status, &reply, 10)) {
    fputs("xdnd_drop: the window did not answer\n", stderr);
    return 1;
  }
  if (!(reply.data.l[1] & 1)) {
    send_client(target, XInternAtom(dpy, "XdndLeave", False), 0, 0, 0, 0);
    fputs("xdnd_drop: the window refuses the drop\n", stderr);
    return 1;
  }
  send_client(target, drop, 0, CurrentTime, 0, 0);
  /* Wine answers XdndFinished once it has handed the files over. */
  const int done = wait_for(finished, &reply, 10);
  XCloseDisplay(dpy);
  return done ? 0 : 1;
}
