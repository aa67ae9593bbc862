// The store the window works on, chosen as `te` chooses it: --store PATH,
// else $TE_STORE, else the default store. A named store is given to the
// engine before anything else reads snippets (te_use_store_file), so the
// window, its engine, the instance lock and the rules file all follow it.
#ifndef TE_MANAGER_STORE_CHOICE_H
#define TE_MANAGER_STORE_CHOICE_H

#include <QString>

// `option`: the value of --store ("" when not given). False with the reason
// when the engine refused the path.
bool te_choose_store(const QString& option, QString* path, QString* error);

#endif
