/* te-gtk-view: a GTK 3 window holding one text view, the kind of receiver
 * that reads its key events slowly. Every text inserted into the view's
 * buffer is appended, as UTF-8, to the file named on the command line, and
 * the buffer's whole text (after a caret move, a BackSpace or a Delete too)
 * is kept in OUTPUT_FILE.view, replaced at every change; Escape empties
 * the view (a long text makes GTK slow to take each key) and adds nothing.
 * Once the view has the focus the window prints its X window id on stdout
 * (0x1 on Wayland, where GDK_BACKEND=wayland picks it; X11 otherwise).
 *
 *   te-gtk-view OUTPUT_FILE [TITLE]
 */
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <glib/gstdio.h>
#include <gtk/gtk.h>
#include <stdio.h>

static FILE* te_out;
static gboolean te_announced;
static gchar* te_view_path;

static void te_on_insert(GtkTextBuffer* buffer, GtkTextIter* at, gchar* text, gint len, gpointer data) {
    fwrite(text, 1, (size_t)len, te_out);
    fflush(te_out);
}

/* The whole text, replaced in one step: a reader sees the old or the new. */
static void te_on_changed(GtkTextBuffer* buffer, gpointer data) {
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, TRUE);
    gchar* tmp = g_strconcat(te_view_path, ".tmp", NULL);
    if (g_file_set_contents(tmp, text, -1, NULL)) g_rename(tmp, te_view_path);
    g_free(tmp);
    g_free(text);
}

static gboolean te_on_key_press(GtkWidget* view, GdkEventKey* event, gpointer data) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), "", 0);
    return TRUE;
}

static gboolean te_on_focus_in(GtkWidget* window, GdkEvent* event, gpointer data) {
    if (!te_announced) {
        GdkWindow* w = gtk_widget_get_window(window);
        printf("0x%lx\n", GDK_IS_X11_WINDOW(w) ? (unsigned long)GDK_WINDOW_XID(w) : 1ul);
        fflush(stdout);
        te_announced = TRUE;
    }
    return FALSE;
}

static gboolean te_on_signal(gpointer data) {
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: te-gtk-view OUTPUT_FILE [TITLE]\n");
        return 2;
    }
    /* The plain input method of GTK itself, on X11, with no accessibility bus. */
    g_setenv("GTK_IM_MODULE", "gtk-im-context-simple", TRUE);
    g_setenv("GDK_BACKEND", "x11", FALSE);
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "te-gtk-view: cannot open the display\n");
        return 1;
    }
    te_out = fopen(argv[1], "ab");
    if (!te_out) {
        fprintf(stderr, "te-gtk-view: cannot open %s\n", argv[1]);
        return 1;
    }
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), argc > 2 ? argv[2] : "te-gtk-view");
    gtk_window_set_default_size(GTK_WINDOW(window), 720, 360);
    GtkWidget* view = gtk_text_view_new();
    /* Wrapped: a line of thousands of characters would make the view wider
     * than X allows, and GTK end on the error. */
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_CHAR);
    gtk_container_add(GTK_CONTAINER(window), view);
    te_view_path = g_strconcat(argv[1], ".view", NULL);
    g_signal_connect(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), "insert-text", G_CALLBACK(te_on_insert), NULL);
    g_signal_connect(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), "changed", G_CALLBACK(te_on_changed), NULL);
    g_signal_connect(view, "key-press-event", G_CALLBACK(te_on_key_press), NULL);
    g_signal_connect(window, "focus-in-event", G_CALLBACK(te_on_focus_in), NULL);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    g_unix_signal_add(SIGTERM, te_on_signal, NULL);
    g_unix_signal_add(SIGINT, te_on_signal, NULL);
    gtk_widget_show_all(window);
    gtk_widget_grab_focus(view);
    gtk_window_present(GTK_WINDOW(window));
    gtk_main();
    fclose(te_out);
    return 0;
}
