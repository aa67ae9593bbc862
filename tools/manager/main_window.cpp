// Building the window: pages, list, banner, menus and shortcuts. What the
// window does when used is in window_actions.cpp.
#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "engine_runner.h"
#include "first_start_strip.h"
#include "help_menu.h"
#include "rules_file.h"
#include "rules_page.h"
#include "snippet_editor.h"
#include "snippet_model.h"
#include "stats_page.h"
#include "store_watcher.h"
#include "tray.h"
#include "window_prefs.h"

te_main_window::te_main_window(const QString& store_path, QWidget* parent)
    : QMainWindow(parent),
      m_store_path(store_path),
      m_prefs_path(te_mode_file_path(store_path)),
      m_model(new te_snippet_model(this)),
      m_search(new QLineEdit),
      m_folder(new QComboBox),
      m_list(new QTableView),
      m_count(new QLabel),
      m_editor(new te_snippet_editor),
      m_tabs(new QTabWidget),
      m_store_problem(new QLabel),
      m_first_start(new te_first_start_strip(te_mode_file_path(store_path))),
      m_banner_text(new QLabel),
      m_take_over(new QPushButton(tr("Stop it and expand here"))),
      m_engine_state(new QLabel),
      m_runner(new te_engine_runner(store_path, this)),
      m_watcher(new te_store_watcher(store_path, this)),
      m_rules_watcher(new te_store_watcher(te_rules_file_path(store_path), this)) {
    m_runner->set_settings(te_read_expansion_settings(te_mode_file_path(store_path)));
    m_runner->set_choice(te_read_mode_choice(te_mode_file_path(store_path)));
    setWindowTitle(tr("Velmora snippets"));
    setWindowIcon(te_manager_icon());
    m_tabs->setObjectName("pages");
    m_rules = new te_rules_page(te_rules_file_path(store_path));
    m_stats = new te_stats_page;
    m_tabs->addTab(build_snippets_page(), tr("&Snippets"));
    m_tabs->addTab(m_rules, tr("&Rules"));
    m_tabs->addTab(m_stats, tr("S&tatistics"));
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    m_store_problem->setObjectName("store_problem");
    m_store_problem->setWordWrap(true);
    m_store_problem->setStyleSheet("color: #b00020;");
    m_store_problem->hide();
    layout->addWidget(m_store_problem);
    layout->addWidget(m_first_start);
    layout->addWidget(build_banner());
    layout->addWidget(build_picker());
    layout->addWidget(m_tabs, 1);
    // On a small screen or at a large scale the pages scroll rather than
    // push the window past the screen's edges.
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(central);
    setCentralWidget(scroll);
    m_engine_state->setObjectName("engine_state");
    m_engine_state->setMinimumWidth(1);  // cut when the window is narrow, never widening it
    statusBar()->addPermanentWidget(m_engine_state);
    build_menus();
    m_tray = make_tray();
    connect(m_runner, &te_engine_runner::state_changed, this, &te_main_window::engine_changed);
    connect(m_watcher, &te_store_watcher::changed, this, &te_main_window::reload);
    connect(m_rules_watcher, &te_store_watcher::changed, this, &te_main_window::follow_rules_file);
    // The session ends: what is unsaved is kept, and the windows close
    // without asking (the tray would keep them otherwise).
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        keep_draft();
        m_ending = true;
    });
    reload();
    engine_changed();
    follow_rules_file();
    // Within the screen at any scale, at the size it last had.
    QScreen* screen = QGuiApplication::primaryScreen();
    resize(te_window_size_for(te_read_window_prefs(m_prefs_path).size,
                              screen ? screen->availableGeometry().size() : QSize(1100, 720)));
}

// Sets the rules of the file the hosts share, at start and whenever it
// changes (`te rule` writes it too), and shows them.
void te_main_window::follow_rules_file() {
    QString error;
    if (!te_apply_rules_file(te_rules_file_path(m_store_path), &error))
        statusBar()->showMessage(tr("Rules file: %1").arg(error));
    m_rules->reload();
}

QWidget* te_main_window::build_snippets_page() {
    auto* split = new QSplitter;
    split->addWidget(build_list_side());
    split->addWidget(m_editor);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    connect(m_editor, &te_snippet_editor::saved, this, &te_main_window::saved);
    connect(m_editor, &te_snippet_editor::settled, this, &te_main_window::draft_settled);
    connect(m_editor, &te_snippet_editor::new_requested, this, &te_main_window::new_snippet);
    connect(m_editor, &te_snippet_editor::delete_requested, this, &te_main_window::delete_snippet);
    return split;
}

QWidget* te_main_window::build_list_side() {
    m_search->setObjectName("search");
    m_folder->setObjectName("folder_filter");
    m_list->setObjectName("list");
    m_count->setObjectName("count");
    m_search->setPlaceholderText(tr("Search triggers and texts (Ctrl+F)"));
    m_search->setClearButtonEnabled(true);
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTabKeyNavigation(false);
    m_list->setWordWrap(false);
    m_list->setAlternatingRowColors(true);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 8);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(te_snippet_model::COLUMN_TRIGGER, 150);
    m_list->setColumnWidth(te_snippet_model::COLUMN_FOLDER, 110);
    connect(m_search, &QLineEdit::textChanged, this, &te_main_window::apply_filter);
    connect(m_search, &QLineEdit::returnPressed, this, &te_main_window::focus_list);
    connect(m_folder, &QComboBox::currentIndexChanged, this, &te_main_window::apply_filter);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &te_main_window::show_current);

    auto* filters = new QHBoxLayout;
    filters->addWidget(m_search, 3);
    filters->addWidget(m_folder, 1);
    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(filters);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_count);
    return side;
}

QWidget* te_main_window::build_banner() {
    auto* banner = new QWidget;
    banner->setObjectName("banner");
    m_banner_text->setObjectName("banner_text");
    m_banner_text->setWordWrap(true);
    auto* row = new QHBoxLayout(banner);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_banner_text, 1);
    row->addWidget(m_take_over);
    connect(m_take_over, &QPushButton::clicked, this, &te_main_window::take_over);
    banner->hide();
    return banner;
}

void te_main_window::build_menus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Import..."), QKeySequence(tr("Ctrl+I")), this, &te_main_window::import_dialog);
    file->addAction(tr("&Export..."), QKeySequence(tr("Ctrl+E")), this, &te_main_window::export_dialog);
    file->addSeparator();
    m_quit = file->addAction(tr("&Quit"), QKeySequence::Quit, this, [this] {
        if (confirm_leave()) QCoreApplication::quit();
    });

    QMenu* snippet = menuBar()->addMenu(tr("S&nippet"));
    snippet->addAction(tr("&Search"), QKeySequence::Find, this, &te_main_window::focus_search);
    snippet->addAction(tr("&New"), QKeySequence::New, this, &te_main_window::new_snippet);
    snippet->addAction(tr("Sa&ve"), QKeySequence::Save, m_editor, &te_snippet_editor::save);
    QAction* remove = snippet->addAction(tr("&Delete"), this, &te_main_window::delete_snippet);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);  // in the text fields Delete deletes text
    m_list->addAction(remove);

    build_engine_menu(menuBar()->addMenu(tr("&Engine")));
    te_fill_help_menu(menuBar()->addMenu(tr("&Help")), this, m_store_path);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &te_main_window::focus_list);
}
