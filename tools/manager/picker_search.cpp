#include "picker_search.h"

#include <QStringList>
#include <algorithm>

namespace {

enum te_rank { TE_TRIGGER_PREFIX, TE_IN_TRIGGER, TE_ELSEWHERE, TE_NO_MATCH };

te_rank te_rank_of(const te_pick_entry& e, const QStringList& words) {
    te_rank best = TE_ELSEWHERE;
    for (const QString& w : words) {
        if (e.trigger_key.startsWith(w)) best = std::min(best, TE_TRIGGER_PREFIX);
        else if (e.trigger_key.contains(w)) best = std::min(best, TE_IN_TRIGGER);
        else if (!e.haystack.contains(w)) return TE_NO_MATCH;
    }
    return best;
}

}  // namespace

void te_picker_search::set_rows(const std::vector<te_snippet_row>& rows) {
    std::vector<te_pick_entry> entries;
    entries.reserve(rows.size());
    for (const te_snippet_row& r : rows)
        entries.push_back(te_pick_entry{r.trigger, r.text.section(QLatin1Char('\n'), 0, 0), r.text, r.trigger.toLower(),
                                        (r.folder + QLatin1Char('\n') + r.text).toLower()});
    m_entries.swap(entries);
}

std::vector<int> te_picker_search::find(const QString& search) const {
    QStringList words = search.simplified().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    struct te_hit {
        te_rank rank;
        double used;
        int index;
    };
    std::vector<te_hit> hits;
    for (int i = 0; i < (int)m_entries.size(); i++) {
        const te_pick_entry& e = m_entries[(std::size_t)i];
        te_rank rank = te_rank_of(e, words);
        if (rank != TE_NO_MATCH) hits.push_back(te_hit{rank, m_usage.value(e.trigger), i});
    }
    std::sort(hits.begin(), hits.end(), [](const te_hit& a, const te_hit& b) {
        if (a.rank != b.rank) return a.rank < b.rank;
        if (a.used != b.used) return a.used > b.used;
        return a.index < b.index;
    });
    std::vector<int> out;
    out.reserve(hits.size());
    for (const te_hit& h : hits) out.push_back(h.index);
    return out;
}
