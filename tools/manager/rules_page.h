// The rules page: the program rules as a table (program, allowed, trigger
// prefix) and the fields to add, change or remove one. Every change is set
// in the library at once and kept in the manager's rules file. A new rule
// blocks its program unless told otherwise; the program is picked from
// those recently in front (the engine knows the last one it expanded in)
// or typed in any case, and shown as rules name it.
#ifndef TE_MANAGER_RULES_PAGE_H
#define TE_MANAGER_RULES_PAGE_H

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
struct te_rule_row;

class te_rules_page : public QWidget {
    Q_OBJECT
public:
    te_rules_page(const QString& rules_file, QWidget* parent = nullptr);

    // Shows the library's rules again, and the programs recently in front.
    void reload();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill_recent();
    void show_rule_name();
    void build_form(QWidget* form);
    void pick_row();
    void set_rule();
    void remove_rule();
    void clear_form();
    bool apply(const te_rule_row& rule);

    QString m_rules_file;
    QTableWidget* m_table;
    QLineEdit* m_process;
    QComboBox* m_recent;  // programs recently in front
    QStringList m_seen;   // programs the engine expanded in while this window ran
    QLabel* m_rule_name;  // the program as rules name it
    QCheckBox* m_allow;
    QLineEdit* m_prefix;
    QLabel* m_message;
};

#endif
