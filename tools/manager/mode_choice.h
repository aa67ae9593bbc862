// How the window's engine watches for triggers: typed triggers ("keys"),
// the clipboard, or a hotkey chord. The choice made in the window is kept
// in "manager.json" beside the snippet store, {"mode":"keys",
// "hotkey":"CTRL+SHIFT+E"} (mode 0600, replaced in one step; members it
// does not know are kept), and used at the next start; `--mode` and
// `--hotkey` override it for one run.
#ifndef TE_MANAGER_MODE_CHOICE_H
#define TE_MANAGER_MODE_CHOICE_H

#include <QString>

struct te_mode_choice {
    QString mode;    // "keys", "clipboard" or "hotkey"; "" none chosen yet
    QString hotkey;  // the chord of hotkey mode ("" none)
};

// The mode to run: the chosen one, else typed triggers, which fall back
// to the clipboard where the desktop cannot watch the keyboard.
QString te_mode_wanted(const te_mode_choice& choice);
// "keys mode (typed triggers)", "clipboard mode", "hotkey mode (CTRL+E)".
QString te_mode_title(const QString& mode, const QString& hotkey);

QString te_mode_file_path(const QString& store_path);
// The kept choice; an empty one when there is none (or the file is not
// one of these).
te_mode_choice te_read_mode_choice(const QString& path);
// Keeps `choice` in the file. False with the reason.
bool te_keep_mode_choice(const QString& path, const te_mode_choice& choice, QString* error);

// The choice for one run: `kept` with the --mode and --hotkey values
// (empty when not given) over it. --hotkey alone means hotkey mode;
// hotkey mode without --hotkey takes the kept chord. False with the
// reason when a value is not valid.
bool te_mode_override(const te_mode_choice& kept, const QString& mode, const QString& hotkey, te_mode_choice* out,
                      QString* error);

#endif
