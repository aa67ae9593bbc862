// The manager's window: the snippet list with its search field and folder
// filter beside the editor, the rules and statistics pages, import and
// export, the engine's state with Pause/Resume, and the tray icon.
// Keyboard first: Ctrl+F search, Ctrl+N new, Ctrl+S save, Delete (in the
// list), Escape back to the list.
#ifndef TE_MANAGER_MAIN_WINDOW_H
#define TE_MANAGER_MAIN_WINDOW_H

#include <QMainWindow>
#include <vector>

#include "engine_client.h"
#include "mode_choice.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTableView;
class QTabWidget;
class te_engine_runner;
class te_first_start_strip;
class te_picker;
class te_rules_page;
class te_snippet_editor;
class te_snippet_model;
class te_stats_page;
class te_store_watcher;

class te_main_window : public QMainWindow {
    Q_OBJECT
public:
    explicit te_main_window(const QString& store_path, QWidget* parent = nullptr);

    te_engine_runner* runner() const { return m_runner; }
    te_picker* picker() const { return m_picker; }
    bool has_tray() const { return m_tray != nullptr; }
    // Reads the table again from the library, keeping the selection and,
    // unless it has unsaved changes, refreshing the editor.
    void reload();
    // Escape: back to the list, the first snippet selected when none is.
    void focus_list();
    // Ends the program now, asking nothing (a stop signal, the session's
    // end): unsaved editor text is kept as a draft beside the store, the
    // engine stops, the instance lock is let go, the event loop ends.
    void stop_now();
    // Shows a draft kept at the last such end in the editor, as unsaved
    // changes. The draft stays until its text is saved or dropped.
    void offer_draft();
    // Runs the engine in `choice` this time instead of the kept choice
    // (--mode, --hotkey), which stays as it is.
    void use_mode_for_this_run(const te_mode_choice& choice);
    // --tray: only the tray icon, once the desktop's tray is there (at
    // login it may come up after this program); the window when no tray
    // has come within a few seconds.
    void start_in_tray(int waited_ms = 0);
    // Imports the file, asking first when it would replace snippets the
    // user has (File > Import, --import).
    void import_file(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* build_snippets_page();
    QWidget* build_list_side();
    QWidget* build_banner();
    void build_menus();
    void build_engine_menu(QMenu* engine);
    // The snippet picker (picker_actions.cpp): its chord from manager.json,
    // the Engine menu's choice of it, the tray's "Insert snippet...", and
    // the line that says when the chord cannot be had.
    QWidget* build_picker();
    void ask_picker_chord();
    void show_picker_state();
    QSystemTrayIcon* make_tray();
    void choose_mode(const QString& mode);
    bool ask_hotkey(QString* chord);
    void show_mode();
    void set_autostart(bool on);
    void say(const QString& message);
    void follow_rules_file();
    void fill_folders();
    QString folder_filter() const;
    void apply_filter();
    void show_current();
    void leave_for(const QString& trigger);
    bool confirm_leave();
    void select_trigger(const QString& trigger);
    void refresh_editor(const std::vector<te_snippet_row>& rows);
    void new_snippet();
    void delete_snippet();
    void saved(const QString& trigger);
    void engine_changed();
    void take_over();
    void toggle_pause();
    void import_dialog();
    void export_dialog();
    void focus_search();
    void keep_draft();
    void draft_settled();
    void keep_size();
    void show_first_start();

    QString m_store_path;
    QString m_prefs_path;  // manager.json
    te_snippet_model* m_model;
    QLineEdit* m_search;
    QComboBox* m_folder;
    QTableView* m_list;
    QLabel* m_count;
    te_snippet_editor* m_editor;
    te_rules_page* m_rules;
    te_stats_page* m_stats;
    QTabWidget* m_tabs;
    QLabel* m_store_problem;  // the store cannot be read: said here, nothing shown
    te_first_start_strip* m_first_start;
    QLabel* m_banner_text;
    QPushButton* m_take_over;
    QLabel* m_engine_state;
    QAction* m_pause;
    QAction* m_quit;
    QMenu* m_mode_menu;
    QActionGroup* m_modes;  // typed triggers, clipboard, hotkey: one checked
    QAction* m_autostart;  // start with the session
    te_engine_runner* m_runner;
    te_store_watcher* m_watcher;
    te_store_watcher* m_rules_watcher;  // the rules file, which `te rule` changes too
    QSystemTrayIcon* m_tray = nullptr;
    te_picker* m_picker = nullptr;
    QAction* m_insert = nullptr;       // "Insert snippet...": opens the picker
    QAction* m_picker_chord = nullptr;  // Engine menu: the picker's chord
    QLabel* m_picker_state = nullptr;   // the chord cannot be had: why
    bool m_selecting = false;  // a selection made by the window, not the user
    bool m_ending = false;     // stop_now or the session's end: close without asking
    bool m_draft_offered = false;  // the editor shows a draft not yet saved or dropped
};

#endif
