// Reading the CLIPBOARD selection: ask its owner to convert it to
// UTF8_STRING (STRING when it will not) into a property of our helper
// window, wait a bounded time for the answer, and read the property, in
// pieces when the owner uses the INCR protocol for a large text. The text
// goes straight into the caller's buffer; one that does not fit whole is
// not delivered.
#include "platform.h"
#include "x11_desktop.h"
#include "x11_display.h"

#include <X11/Xatom.h>
#include <cstring>

namespace {

// An owner that has not answered by then has no text for us.
const std::uint64_t TE_ANSWER_WAIT_MS = 1000;
// Property reads go in pieces of this many 32-bit units.
const long TE_READ_UNITS = 65536;

struct te_clip_atoms {
    Atom clipboard, utf8, incr, property;
};

te_clip_atoms te_atoms(Display* dpy) {
    return te_clip_atoms{XInternAtom(dpy, "CLIPBOARD", False), XInternAtom(dpy, "UTF8_STRING", False),
                         XInternAtom(dpy, "INCR", False), XInternAtom(dpy, "TE_CLIPBOARD_TEXT", False)};
}

// Where the text goes: the caller's buffer, until it no longer fits.
struct te_clip_sink {
    char* out;
    long size;
    long len;
    bool too_long;
    bool latin1;
};

void te_sink_put(te_clip_sink* s, unsigned char c) {
    if (s->len + 2 > s->size) {
        s->too_long = true;
        return;
    }
    s->out[s->len++] = (char)c;
}

void te_sink_append(te_clip_sink* s, const unsigned char* data, unsigned long n) {
    for (unsigned long i = 0; i < n && !s->too_long; i++) {
        if (s->latin1 && data[i] >= 0x80) {
            te_sink_put(s, (unsigned char)(0xC0 | (data[i] >> 6)));
            te_sink_put(s, (unsigned char)(0x80 | (data[i] & 0x3F)));
        } else {
            te_sink_put(s, data[i]);
        }
    }
}

// Events left over from an earlier read (late answers, property changes).
void te_drain(Display* dpy, Window w) {
    XEvent ev;
    while (XCheckWindowEvent(dpy, w, PropertyChangeMask, &ev)) {
    }
    while (XCheckTypedWindowEvent(dpy, w, SelectionNotify, &ev)) {
    }
}

enum { TE_NO_ANSWER = -1, TE_REFUSED = 0, TE_ANSWERED = 1 };

// Asks for the selection as `target` and waits for the owner, within the
// bound, to store its answer in our property or to refuse.
int te_request(Display* dpy, Window w, const te_clip_atoms& a, Atom target) {
    XConvertSelection(dpy, a.clipboard, target, a.property, w, CurrentTime);
    std::uint64_t deadline = now_millis() + TE_ANSWER_WAIT_MS;
    XEvent ev;
    while (te_x11_wait_event(dpy, w, SelectionNotify, &ev, deadline)) {
        if (ev.xselection.selection != a.clipboard) continue;
        return ev.xselection.property == a.property ? TE_ANSWERED : TE_REFUSED;
    }
    return TE_NO_ANSWER;
}

// The type of our property, None when it is missing.
Atom te_property_type(Display* dpy, Window w, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(dpy, w, property, 0, 0, False, AnyPropertyType, &type, &format, &count, &after, &data);
    if (data) XFree(data);
    return type;
}

// Appends the whole property to the sink and deletes it. Returns the number
// of bytes it held, or -1 when it is missing or not 8-bit data.
long te_read_property(Display* dpy, Window w, Atom property, te_clip_sink* sink) {
    long offset = 0, total = 0;
    for (;;) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        int rc = XGetWindowProperty(dpy, w, property, offset, TE_READ_UNITS, False, AnyPropertyType, &type,
                                    &format, &count, &after, &data);
        bool usable = rc == Success && type != None && format == 8;
        if (usable) te_sink_append(sink, data, count);
        if (data) XFree(data);
        if (!usable) return -1;
        total += (long)count;
        offset += TE_READ_UNITS;
        if (after == 0) break;
    }
    XDeleteProperty(dpy, w, property);
    return total;
}

// One INCR piece has been stored once our property gets a new value.
int te_wait_piece(Display* dpy, Window w, Atom property) {
    XEvent ev;
    for (;;) {
        std::uint64_t deadline = now_millis() + TE_ANSWER_WAIT_MS;
        if (!te_x11_wait_event(dpy, w, PropertyNotify, &ev, deadline)) return 0;
        if (ev.xproperty.atom == property && ev.xproperty.state == PropertyNewValue) return 1;
    }
}

// The INCR protocol: deleting the property asks for the next piece; an
// empty piece ends the text. Pieces are read to the end even after the
// text has outgrown the buffer, so the owner is not left waiting.
int te_read_incremental(Display* dpy, Window w, Atom property, te_clip_sink* sink) {
    XEvent ev;
    while (XCheckTypedWindowEvent(dpy, w, PropertyNotify, &ev)) {
    }
    XDeleteProperty(dpy, w, property);
    XFlush(dpy);
    for (;;) {
        if (!te_wait_piece(dpy, w, property)) return 0;
        long n = te_read_property(dpy, w, property, sink);
        if (n == 0) return 1;
        XFlush(dpy);
    }
}

// Reads the answer stored in our property; 0 when there is no usable text.
int te_read_answer(Display* dpy, Window w, const te_clip_atoms& a, te_clip_sink* sink) {
    Atom type = te_property_type(dpy, w, a.property);
    if (type == a.incr) return te_read_incremental(dpy, w, a.property, sink);
    sink->latin1 = type == XA_STRING;
    if (type != a.utf8 && type != XA_STRING) {
        XDeleteProperty(dpy, w, a.property);
        return 0;
    }
    return te_read_property(dpy, w, a.property, sink) >= 0;
}

int te_read_clipboard(Display* dpy, te_clip_sink* sink) {
    te_clip_atoms a = te_atoms(dpy);
    if (XGetSelectionOwner(dpy, a.clipboard) == None) return 0;
    Window w = te_x11_helper_window(dpy);
    te_drain(dpy, w);
    int answer = te_request(dpy, w, a, a.utf8);
    if (answer == TE_REFUSED) {
        sink->latin1 = true;
        answer = te_request(dpy, w, a, XA_STRING);
    }
    return answer == TE_ANSWERED ? te_read_answer(dpy, w, a, sink) : 0;
}

}  // namespace

char* te_x11_get_clipboard_text_utf8(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    Display* dpy = te_x11_display();
    if (!dpy) return nullptr;
    te_clip_sink sink = {out, size, 0, false, false};
    int ok = te_read_clipboard(dpy, &sink);
    if (!ok || sink.too_long || te_x11_lost()) {
        out[0] = 0;
        return nullptr;
    }
    out[sink.len] = 0;
    return out;
}
