#include "rules_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "../common/rules_file.h"
#include "engine_client.h"
#include "rules_file.h"

te_rules_page::te_rules_page(const QString& rules_file, QWidget* parent)
    : QWidget(parent),
      m_rules_file(rules_file),
      m_table(new QTableWidget(0, 3)),
      m_process(new QLineEdit),
      m_recent(new QComboBox),
      m_rule_name(new QLabel),
      m_allow(new QCheckBox(tr("Expand there"))),
      m_prefix(new QLineEdit),
      m_message(new QLabel) {
    setObjectName("rules");
    m_table->setObjectName("rule_table");
    m_table->setHorizontalHeaderLabels({tr("Program"), tr("Allowed"), tr("Trigger prefix")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_message->setObjectName("rule_message");
    m_message->setWordWrap(true);

    auto* note = new QLabel(tr("A rule turns expansion off in a program (a password manager, say), or lets only "
                               "triggers that begin with a prefix expand there. Pick a program that was in front "
                               "lately, or type its name in any case: the name of its program file on X11 and "
                               "Windows (firefox-esr, gedit, notepad.exe), its app id on Wayland (foot, "
                               "org.gnome.Nautilus)."));
    note->setWordWrap(true);
    auto* form = new QWidget;
    build_form(form);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(m_table, 1);
    layout->addWidget(form);
    layout->addWidget(m_message);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &te_rules_page::pick_row);
    reload();
}

void te_rules_page::build_form(QWidget* form) {
    m_process->setObjectName("rule_process");
    m_prefix->setObjectName("rule_prefix");
    m_allow->setObjectName("rule_allow");
    m_process->setPlaceholderText(tr("program"));
    m_recent->setObjectName("rule_recent");
    m_rule_name->setObjectName("rule_name");
    m_prefix->setPlaceholderText(tr("trigger prefix (optional)"));
    m_allow->setChecked(false);  // a rule blocks unless told otherwise
    auto* set = new QPushButton(tr("Add or change"));
    auto* remove = new QPushButton(tr("Remove"));
    set->setObjectName("rule_set");
    remove->setObjectName("rule_remove");
    auto* row = new QHBoxLayout(form);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_recent, 1);
    row->addWidget(m_process, 2);
    row->addWidget(m_rule_name, 1);
    row->addWidget(m_allow);
    row->addWidget(m_prefix, 1);
    row->addWidget(set);
    row->addWidget(remove);
    connect(set, &QPushButton::clicked, this, &te_rules_page::set_rule);
    connect(remove, &QPushButton::clicked, this, &te_rules_page::remove_rule);
    connect(m_process, &QLineEdit::returnPressed, this, &te_rules_page::set_rule);
    connect(m_prefix, &QLineEdit::returnPressed, this, &te_rules_page::set_rule);
    connect(m_process, &QLineEdit::textChanged, this, &te_rules_page::show_rule_name);
    connect(m_recent, &QComboBox::activated, this, [this](int index) {
        if (index > 0) m_process->setText(m_recent->itemText(index));
    });
}

void te_rules_page::showEvent(QShowEvent* event) {
    fill_recent();
    QWidget::showEvent(event);
}

// The engine's last program, those it expanded in before while this
// window ran, and those the rules name.
void te_rules_page::fill_recent() {
    QString last = te_read_stats().last_app;
    if (!last.isEmpty() && !m_seen.contains(last)) m_seen.prepend(last);
    QStringList programs = m_seen;
    for (const te_rule_row& r : te_read_rules())
        if (!programs.contains(r.process)) programs << r.process;
    m_recent->clear();
    m_recent->addItem(programs.isEmpty() ? tr("(none in front yet)") : tr("Recently in front..."));
    m_recent->addItems(programs);
}

// Rules compare names in any case and list them in capitals.
void te_rules_page::show_rule_name() {
    QString name = m_process->text().trimmed();
    QString shown;
    for (QChar c : name) shown += c.unicode() < 128 ? c.toUpper() : c;
    m_rule_name->setText(name.isEmpty() ? QString() : tr("rule for %1").arg(shown));
}

void te_rules_page::reload() {
    const std::vector<te_rule_row> rules = te_effective_rules();
    m_table->setRowCount((int)rules.size());
    for (int i = 0; i < (int)rules.size(); i++) {
        const te_rule_row& r = rules[(std::size_t)i];
        m_table->setItem(i, 0, new QTableWidgetItem(r.process));
        m_table->setItem(i, 1, new QTableWidgetItem(r.allow ? tr("yes") : tr("no")));
        m_table->setItem(i, 2, new QTableWidgetItem(r.prefix));
    }
}

void te_rules_page::pick_row() {
    int row = m_table->currentRow();
    if (row < 0 || !m_table->item(row, 0)) return;
    m_process->setText(m_table->item(row, 0)->text());
    m_allow->setChecked(m_table->item(row, 1)->text() == tr("yes"));
    m_prefix->setText(m_table->item(row, 2)->text());
}

bool te_rules_page::apply(const te_rule_row& rule) {
    QString error;
    bool ok = te_set_rule_in_file(m_rules_file, rule, &error);
    m_message->setStyleSheet(ok ? "color: #2e7d32;" : "color: #b00020;");
    m_message->setText(ok ? QString() : tr("Not set: %1").arg(error));
    reload();
    return ok;
}

void te_rules_page::set_rule() {
    te_rule_row rule{m_process->text().trimmed(), m_allow->isChecked(), m_prefix->text()};
    if (!apply(rule)) return;
    // The desktop the window serves, settled at its start (desktop_settle.h).
    const char* note = te_rule_desktop_note(qEnvironmentVariable("TE_DESKTOP").toStdString());
    if (te_rule_is_neutral(rule))
        m_message->setText(tr("A rule that allows every trigger has no effect: nothing to show."));
    else if (note)
        m_message->setText(tr("Set, but %1.").arg(QString::fromUtf8(note)));
    clear_form();
}

void te_rules_page::remove_rule() {
    te_rule_row neutral{m_process->text().trimmed(), true, QString()};
    if (apply(neutral)) clear_form();
}

void te_rules_page::clear_form() {
    m_process->clear();
    m_prefix->clear();
    m_allow->setChecked(false);
    m_process->setFocus();
}
