// te-qt-view: a Qt 6 window holding one plain text view. Every text
// inserted into the view's document is appended, as UTF-8, to the file
// named on the command line; Escape empties the view (a long text makes Qt
// slow to take each key) and adds nothing. Once the view has the focus the
// window prints its X window id on stdout.
//
//   te-qt-view OUTPUT_FILE [TITLE]
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTextDocument>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// SIGTERM and SIGINT end the event loop through a pipe the loop watches.
int te_signal_pipe[2] = {-1, -1};

void te_on_signal(int) {
    char c = 1;
    ssize_t n = write(te_signal_pipe[1], &c, 1);
    (void)n;
}

class te_view : public QPlainTextEdit {
public:
    explicit te_view(QFile* out) : out_(out) {
        connect(document(), &QTextDocument::contentsChange, this, &te_view::record);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) clear();
        else QPlainTextEdit::keyPressEvent(e);
    }
    void focusInEvent(QFocusEvent* e) override {
        QPlainTextEdit::focusInEvent(e);
        if (announced_) return;
        announced_ = true;
        std::printf("0x%lx\n", (unsigned long)window()->winId());
        std::fflush(stdout);
    }

private:
    void record(int at, int, int added) {
        if (added <= 0) return;
        out_->write(document()->toPlainText().mid(at, added).toUtf8());
        out_->flush();
    }

    QFile* out_;
    bool announced_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: te-qt-view OUTPUT_FILE [TITLE]\n");
        return 2;
    }
    // Qt's own X11 input handling, with no input method or accessibility bus.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_IM_MODULE", "compose");
    qputenv("QT_ACCESSIBILITY", "0");
    QApplication app(argc, argv);
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::Append)) {
        std::fprintf(stderr, "te-qt-view: cannot open %s\n", argv[1]);
        return 1;
    }
    if (pipe(te_signal_pipe) != 0) return 1;
    QSocketNotifier quit(te_signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(&quit, &QSocketNotifier::activated, &app, &QApplication::quit);
    std::signal(SIGTERM, te_on_signal);
    std::signal(SIGINT, te_on_signal);
    te_view view(&out);
    view.setWindowTitle(QString::fromLocal8Bit(argc > 2 ? argv[2] : "te-qt-view"));
    view.resize(720, 360);
    view.show();
    view.activateWindow();
    view.setFocus();
    return app.exec();
}
