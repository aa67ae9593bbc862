// What the window remembers of itself in "manager.json" beside the store
// (with the mode and the settings for all snippets; the other members are
// kept): the first-start strip dismissed ("first_start_seen"), whether
// closing the window without a tray asks first ("ask_before_quit"), and
// its size ("window_size": [width, height], in the screen's logical
// pixels).
#ifndef TE_MANAGER_WINDOW_PREFS_H
#define TE_MANAGER_WINDOW_PREFS_H

#include <QJsonObject>
#include <QSize>
#include <QString>

struct te_window_prefs {
    bool first_start_seen = false;
    bool ask_before_quit = true;
    QSize size;  // invalid: none kept
};

// The JSON object in manager.json; empty when there is none.
QJsonObject te_read_manager_file(const QString& path);
// Writes `members` over those of manager.json, keeping the others. False
// with the reason.
bool te_merge_manager_file(const QString& path, const QJsonObject& members, QString* error);

te_window_prefs te_read_window_prefs(const QString& path);
bool te_keep_window_prefs(const QString& path, const te_window_prefs& prefs, QString* error);

// The size the window opens at: the kept one (invalid: 1100 by 720), made
// to fit `available` (the screen less its panels, in the same pixels)
// with room for the window's frame.
QSize te_window_size_for(const QSize& kept, const QSize& available);

#endif
