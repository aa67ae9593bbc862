// Waiting for the X desktop: XFixes notifications of the clipboard's new
// owners, taken a burst at a time, and the wake-up from another thread.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform.h"
#include "x11_harness.h"

#include <thread>
#include <unistd.h>

namespace {

TEST(Watch, BurstOfNewOwnersEndsOneWaitOnly) {
    ASSERT_EQ(watch_open(TE_WATCH_CLIPBOARD), TE_WATCH_CLIPBOARD);
    Display* dpy = te_test::display();
    Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    for (int i = 0; i < 50; i++) XSetSelectionOwner(dpy, clipboard, w, CurrentTime);
    XSync(dpy, False);
    long long t0 = te_test::millis();
    EXPECT_EQ(watch_wait(10000), TE_WATCH_CLIPBOARD);
    EXPECT_LT(te_test::millis() - t0, 1000);
    EXPECT_EQ(watch_wait(200), 0) << "the whole burst is taken by one wait";
    watch_close();
    XDestroyWindow(dpy, w);
}

TEST(Watch, WakeFromAnotherThreadEndsALongWait) {
    ASSERT_EQ(watch_open(TE_WATCH_CLIPBOARD), TE_WATCH_CLIPBOARD);
    std::thread waker([] {
        usleep(100000);
        watch_wake();
    });
    long long t0 = te_test::millis();
    EXPECT_EQ(watch_wait(10000), 0);
    EXPECT_LT(te_test::millis() - t0, 1000);
    waker.join();
    watch_close();
}

}  // namespace
