#include "picker_usage.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <vector>

#include "snippet_files.h"

namespace {

const double TE_HALF_LIFE_S = 14 * 24 * 3600.0;
const int TE_KEPT = 500;

double te_decayed(double weight, long long from, long long to) {
    return to <= from ? weight : weight * std::exp2(-(double)(to - from) / TE_HALF_LIFE_S);
}

}  // namespace

te_picker_usage::te_picker_usage(const QString& store_path)
    : m_path(QFileInfo(store_path).dir().filePath(QStringLiteral("picker.json"))) {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return;
    QJsonObject used = QJsonDocument::fromJson(file.readAll()).object().value("used").toObject();
    for (auto it = used.begin(); it != used.end(); ++it) {
        QJsonArray pair = it.value().toArray();
        if (pair.size() == 2 && pair[0].isDouble()) m_used.insert(it.key(), te_use{pair[0].toDouble(), (long long)pair[1].toDouble()});
    }
}

QHash<QString, double> te_picker_usage::weights(long long now) const {
    QHash<QString, double> out;
    for (auto it = m_used.begin(); it != m_used.end(); ++it) out.insert(it.key(), te_decayed(it->weight, it->at, now));
    return out;
}

bool te_picker_usage::count(const QString& trigger, long long now, QString* error) {
    te_use before = m_used.value(trigger, te_use{0, now});
    m_used.insert(trigger, te_use{te_decayed(before.weight, before.at, now) + 1, now});
    if (m_used.size() > TE_KEPT) {
        QHash<QString, double> w = weights(now);
        std::vector<double> all(w.begin(), w.end());
        std::nth_element(all.begin(), all.begin() + TE_KEPT - 1, all.end(), std::greater<double>());
        double least = all[TE_KEPT - 1];
        for (auto it = m_used.begin(); it != m_used.end();) it = w.value(it.key()) < least ? m_used.erase(it) : ++it;
    }
    QJsonObject used;
    for (auto it = m_used.begin(); it != m_used.end(); ++it) used.insert(it.key(), QJsonArray{it->weight, (double)it->at});
    return te_save_private(m_path, QJsonDocument(QJsonObject{{"used", used}}).toJson(QJsonDocument::Compact), error);
}
