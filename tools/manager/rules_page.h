// The rules page: the program rules as a table (program, allowed, trigger
// prefix) and the fields to add, change or remove one. Every change is set
// in the library at once and kept in the manager's rules file.
#ifndef TE_MANAGER_RULES_PAGE_H
#define TE_MANAGER_RULES_PAGE_H

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;
struct te_rule_row;

class te_rules_page : public QWidget {
    Q_OBJECT
public:
    te_rules_page(const QString& rules_file, QWidget* parent = nullptr);

    // Shows the library's rules again.
    void reload();

private:
    void build_form(QWidget* form);
    void pick_row();
    void set_rule();
    void remove_rule();
    void clear_form();
    bool apply(const te_rule_row& rule);

    QString m_rules_file;
    QTableWidget* m_table;
    QLineEdit* m_process;
    QCheckBox* m_allow;
    QLineEdit* m_prefix;
    QLabel* m_message;
};

#endif
