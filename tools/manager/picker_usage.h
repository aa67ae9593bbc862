// How much each snippet was picked lately, for the picker's order among
// equal matches: each pick counts 1 at first and half as much two weeks
// later. Kept in "picker.json" beside the store, {"used":{"TRIGGER":
// [weight, unix seconds of that weight]}}, readable by its user alone (it
// names the snippets); the 500 heaviest are kept.
#ifndef TE_MANAGER_PICKER_USAGE_H
#define TE_MANAGER_PICKER_USAGE_H

#include <QHash>
#include <QString>

class te_picker_usage {
public:
    explicit te_picker_usage(const QString& store_path);

    // Each trigger's weight at `now` (unix seconds).
    QHash<QString, double> weights(long long now) const;
    // Counts a pick of `trigger` at `now` and keeps the record. False with
    // the reason when it could not be kept (the pick still counts here).
    bool count(const QString& trigger, long long now, QString* error);

private:
    struct te_use {
        double weight;
        long long at;
    };
    QString m_path;
    QHash<QString, te_use> m_used;
};

#endif
