#include "picker_window.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>
#include <memory>
#include <utility>

#include "picker_search.h"
#include "preview_renderer.h"

// The matches of one search, best first, over the search's entries.
class te_pick_model : public QAbstractListModel {
public:
    enum { TE_TRIGGER_ROLE = Qt::UserRole, TE_TEXT_ROLE };

    explicit te_pick_model(const te_picker_search* search, QObject* parent)
        : QAbstractListModel(parent), m_search(search) {}

    void find(const QString& text) {
        beginResetModel();
        m_rows = m_search->find(text);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : (int)m_rows.size();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= (int)m_rows.size()) return QVariant();
        const te_pick_entry& e = m_search->entries()[(std::size_t)m_rows[(std::size_t)index.row()]];
        switch (role) {
        case Qt::DisplayRole: return e.first_line;
        case TE_TRIGGER_ROLE: return e.trigger;
        case TE_TEXT_ROLE: return e.text;
        default: return QVariant();
        }
    }

private:
    const te_picker_search* m_search;
    std::vector<int> m_rows;
};

namespace {

// Longer than Qt waits before it lets go of a window the focus left.
const int TE_LET_GO_MS = 250;

// A row: the text's first line at the left, the trigger at the right in
// the colour of secondary text.
class te_pick_delegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        QString trigger = index.data(te_pick_model::TE_TRIGGER_ROLE).toString();
        int gap = o.fontMetrics.averageCharWidth() * 2;
        // Rounded up, with a pixel to spare: at a scaling such as 200 % the
        // text drawn may need a fraction more than the whole pixels measured,
        // and a short trigger would be elided to nothing.
        int trigger_width = std::min((int)std::ceil(QFontMetricsF(o.font).horizontalAdvance(trigger)) + 1,
                                     o.rect.width() / 3);
        o.text = QString();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, p, o.widget);
        QRect text = o.rect.adjusted(gap / 2, 0, -(trigger_width + gap), 0);
        QRect right = o.rect.adjusted(o.rect.width() - trigger_width - gap / 2, 0, -gap / 2, 0);
        bool chosen = o.state & QStyle::State_Selected;
        p->save();
        p->setFont(o.font);
        p->setPen(o.palette.color(chosen ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                    o.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, text.width()));
        p->setPen(o.palette.color(chosen ? QPalette::HighlightedText : QPalette::PlaceholderText));
        p->drawText(right, Qt::AlignVCenter | Qt::AlignRight,
                    o.fontMetrics.elidedText(trigger, Qt::ElideMiddle, right.width()));
        p->restore();
    }
};

}  // namespace

te_picker_window::te_picker_window(const te_picker_search* search, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_search_index(search), m_search(new QLineEdit), m_list(new QListView), m_count(new QLabel),
      m_preview(new QPlainTextEdit), m_model(new te_pick_model(search, this)), m_renderer(new te_preview_renderer(this)) {
    setObjectName("picker");
    setWindowTitle(tr("Insert snippet"));
    m_search->setObjectName("picker_search");
    m_list->setObjectName("picker_list");
    m_preview->setObjectName("picker_preview");
    m_count->setObjectName("picker_count");
    m_search->setPlaceholderText(tr("Find a snippet: any words of its trigger, folder or text"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new te_pick_delegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setFocusPolicy(Qt::NoFocus);  // the keys stay in the search field
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setReadOnly(true);
    m_preview->setFocusPolicy(Qt::NoFocus);
    m_preview->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addWidget(m_list, 3);
    layout->addWidget(m_count);
    layout->addWidget(m_preview, 2);
    QFontMetrics fm = fontMetrics();
    setFixedSize(fm.averageCharWidth() * 64, fm.lineSpacing() * 26);
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &te_picker_window::search_changed);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &te_picker_window::current_changed);
    connect(m_renderer, &te_preview_renderer::rendered, m_preview, &QPlainTextEdit::setPlainText);
}

void te_picker_window::open() {
    // Closed a moment ago, it is still the window Qt last gave the focus to:
    // Qt lets that go shortly after the focus left, and would then take this
    // window's focus for lost and close it. Shown once Qt has let go.
    if (windowHandle() && QGuiApplication::focusWindow() == windowHandle() && !isVisible()) {
        if (m_waiting) return;
        m_waiting = true;
        auto let_go = std::make_shared<QMetaObject::Connection>();
        auto show_now = [this, let_go] {
            QObject::disconnect(*let_go);
            if (std::exchange(m_waiting, false)) show_with_focus();
        };
        *let_go = connect(qApp, &QGuiApplication::focusWindowChanged, this, show_now);
        QTimer::singleShot(TE_LET_GO_MS, this, show_now);
        return;
    }
    show_with_focus();
}

void te_picker_window::show_with_focus() {
    {
        QSignalBlocker quiet(m_search);
        m_search->clear();
    }
    search_changed();
    place();
    show();
    raise();
    activateWindow();
    m_search->setFocus();
}

void te_picker_window::refresh() { search_changed(); }

QString te_picker_window::search_text() const { return m_search->text(); }

void te_picker_window::search_changed() {
    m_model->find(m_search->text());
    int n = m_model->rowCount();
    m_count->setText(tr("%n snippet(s): Enter types the selected one, Escape closes", nullptr, n));
    if (n) m_list->setCurrentIndex(m_model->index(0));
    else current_changed();
}

void te_picker_window::current_changed() {
    QModelIndex at = m_list->currentIndex();
    if (!at.isValid()) return m_preview->clear();
    m_renderer->request(at.data(te_pick_model::TE_TEXT_ROLE).toString());
}

// Near the pointer and whole on its screen; the compositor's choice where
// a program cannot place its windows (Wayland).
void te_picker_window::place() {
    if (QGuiApplication::platformName() == QLatin1String("wayland")) return;
    QPoint pointer = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen) screen = QGuiApplication::primaryScreen();
    QRect room = screen->availableGeometry();
    QPoint at = pointer + QPoint(fontMetrics().averageCharWidth() * 2, fontMetrics().lineSpacing());
    at.setX(std::max(room.left(), std::min(at.x(), room.right() - width())));
    at.setY(std::max(room.top(), std::min(at.y(), room.bottom() - height())));
    move(at);
}

bool te_picker_window::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_search || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QApplication::sendEvent(m_list, event);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QModelIndex at = m_list->currentIndex();
        if (!at.isValid()) return true;
        hide();
        emit picked(at.data(te_pick_model::TE_TRIGGER_ROLE).toString());
        return true;
    }
    case Qt::Key_Escape:
        close_with(true);
        return true;
    default: return false;
    }
}

bool te_picker_window::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && isVisible()) close_with(false);
    return QWidget::event(event);
}

void te_picker_window::close_with(bool give_back) {
    hide();
    emit dismissed(give_back);
}
