// Run on a display (scripts/test-x11.sh BUILD_DIR .../te_manager_bench) or
// with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>

#include "main_window.h"
#include "textexpander.h"

// The benchmarks' store, in a folder of their own (picker_bench.cpp too).
QString te_bench_store() { return qEnvironmentVariable("APPDATA") + "/Wrenfold/snippets.json"; }

namespace {

const int TE_SNIPPETS = 4096;

// 4,096 snippets (the table's size) of a few lines each, spread over a
// dozen folders, in place of the first-use examples.
void te_fill_store() {
    while (te_snippet_count() > 0) te_snippet_delete(te_snippet_field(0, "trigger"));
    static const char* const words[] = {"meeting", "invoice", "address", "regards", "schedule", "review",
                                        "shipping", "refund", "welcome", "thanks", "project", "deadline"};
    QJsonArray list;
    for (int i = 0; i < TE_SNIPPETS; i++) {
        QString w = words[i % 12];
        QString text = QStringLiteral("Hello {clipboard},\nabout the %1 #%2 of {date}: see the notes below.\n"
                                      "Kind regards,\nThe %3 team")
                           .arg(w).arg(i).arg(words[(i / 12) % 12]);
        list.append(QJsonObject{{"trigger", QStringLiteral(";%1%2").arg(w.left(3)).arg(i)},
                                {"text", text}, {"folder", w}, {"apps", "*"}});
    }
    te_snippet_import(QJsonDocument(list).toJson(QJsonDocument::Compact).constData());
}

void BM_read_store_json(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(te_snippets_json());
}

void BM_open_window(benchmark::State& state) {
    for (auto _ : state) {
        te_main_window window(te_bench_store());
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(&window);
    }
}

// One keystroke: the search field's text grows by a letter; a word typed
// and cleared again makes a cycle of keystrokes.
void BM_search_keystroke(benchmark::State& state) {
    te_main_window window(te_bench_store());
    window.show();
    QApplication::processEvents();
    auto* search = window.findChild<QLineEdit*>("search");
    const QString word = QStringLiteral("refund 7");
    int typed = 0;
    for (auto _ : state) {
        typed = typed == word.size() ? 0 : typed + 1;
        search->setText(word.left(typed));
        QApplication::processEvents();
    }
}

}  // namespace

BENCHMARK(BM_read_store_json)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_open_window)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_search_keystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    QTemporaryDir appdata;
    qputenv("APPDATA", appdata.path().toUtf8());
    QApplication app(argc, argv);
    te_fill_store();
    if (te_snippet_count() != TE_SNIPPETS) qFatal("store not filled: %s", te_last_error());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
