#include "store_choice.h"

#include "store_path.h"
#include "store_select.h"

bool te_choose_store(const QString& option, QString* path, QString* error) {
    QString named = option.isEmpty() ? qEnvironmentVariable("TE_STORE") : option;
    if (named.isEmpty()) {
        *path = QString::fromStdString(te_default_store_path());
        return true;
    }
    *path = named;
    std::string message;
    if (te_use_store_file(named.toStdString(), &message)) return true;
    *error = QString::fromStdString(message);
    return false;
}
