// The chord that opens the snippet picker: "CTRL+ALT+SPACE" unless the user
// chose another in the Engine menu, kept as the member "picker_chord" of
// "manager.json" beside the store (mode_choice.h), the other members kept.
#ifndef TE_MANAGER_PICKER_CHORD_H
#define TE_MANAGER_PICKER_CHORD_H

#include <QString>

extern const char* const TE_PICKER_CHORD_DEFAULT;

// The kept chord; the default when there is none.
QString te_read_picker_chord(const QString& path);
// Keeps `chord` in the file. False with the reason.
bool te_keep_picker_chord(const QString& path, const QString& chord, QString* error);

// True when both texts name one chord (CTRL+ALT+SPACE and alt+ctrl+space).
bool te_same_chord(const QString& a, const QString& b);

// True when `chord` can open the picker: it names a key (the engine's own
// parse) and is not the chord of hotkey mode, `hotkey` (the engine would
// expand the clipboard's trigger on the same press). False with the reason.
bool te_picker_chord_check(const QString& chord, const QString& hotkey, QString* error);

#endif
