#include "NameListGrid.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

#include "CutPreview.h"
#include "FixedText.h"
#include "NameListModel.h"
#include "Named.h"

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kNumberColumnTwips = 500;
constexpr int kItemColumnTwips = 1800;
}  // namespace

QWidget* NameListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const {
    auto* box = Named(new QLineEdit(parent), QStringLiteral("txtEdit"));
    box->setFrame(false);
    CutPreview::Attach(box, Text20::Length, CutPreview::WhenLoaded);
    return box;
}

void NameListDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

bool NameListDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (!editor || event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down:
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            emit StepRequested(1);
            return true;
        case Qt::Key_Up:
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            emit StepRequested(-1);
            return true;
        case Qt::Key_Escape:
            emit closeEditor(editor, RevertModelCache);
            return true;
        default:
            return QStyledItemDelegate::eventFilter(object, event);
    }
}

NameListGrid::NameListGrid(NameListModel& model, QWidget* parent)
    : QTableView(parent), m_model(model) {
    setModel(&m_model);
    m_delegate = new NameListDelegate(this);
    setItemDelegate(m_delegate);
    setEditTriggers(NoEditTriggers);  // the key rules below open the edit box
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    QHeaderView* headings = horizontalHeader();
    headings->setSectionsClickable(false);
    headings->setHighlightSections(false);
    headings->setSectionResizeMode(QHeaderView::Fixed);
    headings->setDefaultAlignment(Qt::AlignCenter);
    headings->viewport()->installEventFilter(this);
    setColumnWidth(0, kNumberColumnTwips / kTwipsPerPixel);
    for (int c = 1; c <= 3; ++c) setColumnWidth(c, kItemColumnTwips / kTwipsPerPixel);
    setMinimumWidth(headings->length() + verticalScrollBar()->sizeHint().width() +
                    2 * frameWidth());
    setToolTip(
        QStringLiteral("セルを選んで入力します（Enterで確定、Escで取消）\n"
                       "No.をドラッグすると行を、見出しをドラッグすると項目を移動します\n"
                       "表計算ソフトでコピーしたセルはCtrl+Vで貼り付けられます"));
    connect(m_delegate, &NameListDelegate::StepRequested, this, &NameListGrid::Step);
}

QWidget* NameListGrid::EditBox() const {
    if (state() != EditingState) return nullptr;
    return indexWidget(currentIndex());
}

void NameListGrid::CommitEdit() {
    QWidget* box = EditBox();
    if (!box) return;
    commitData(box);
    closeEditor(box, QAbstractItemDelegate::NoHint);
}

void NameListGrid::SetCurrent(int row, int column) {
    CommitEdit();
    const QModelIndex target = m_model.index(row, column);
    if (!target.isValid()) return;
    setCurrentIndex(target);
    scrollTo(target);
}

void NameListGrid::StartEdit(const QString& text) {
    CommitEdit();
    const QModelIndex current = currentIndex();
    if (!current.isValid() || current.column() < 1) return;
    if (!edit(current, AllEditTriggers, nullptr)) return;
    if (auto* box = qobject_cast<QLineEdit*>(indexWidget(current))) {
        box->setText(text);
        box->end(false);
    }
}

void NameListGrid::Step(int rows) {
    const QModelIndex current = currentIndex();
    const int row = current.row() + rows;
    if (current.isValid() && row >= 0 && row < m_model.rowCount())
        SetCurrent(row, current.column());
}

void NameListGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        emit Touched();
        Paste();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit Touched();  // as Backspace: the cell is emptied at once
        m_model.setData(currentIndex(), QString());
        return;
    }
    const QString text = event->text();
    const bool control = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (text.isEmpty() || control || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab || text.at(0) == QChar(0x7F)) {
        QTableView::keyPressEvent(event);  // navigation: moves the current cell only
        return;
    }
    emit Touched();
    event->accept();
    const QModelIndex current = currentIndex();
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (current.row() + 1 < m_model.rowCount())
                SetCurrent(current.row() + 1, current.column());
            return;
        case Qt::Key_Backspace:
            m_model.setData(current, QString());
            return;
        default:
            // A character starts a fresh text; Space, Esc and other low codes edit the text.
            StartEdit(text.at(0).unicode() > 32 ? text : current.data().toString());
    }
}

void NameListGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid() && at.column() == 0) {
        BeginDrag(Drag::Entry, at.row(), viewport());
        return;
    }
    QTableView::mousePressEvent(event);
}

void NameListGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (m_drag != Drag::None) {
        EndDrag(event->globalPosition().toPoint());
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void NameListGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && at.column() == 0) {  // the second press of a drag
        mousePressEvent(event);
        return;
    }
    emit Touched();
    if (at.isValid()) SetCurrent(at.row(), at.column());
    StartEdit(currentIndex().data().toString());
}

// Japanese text arrives through the input method: it starts a fresh text like a character
// key, and the composition goes on in the edit box.
void NameListGrid::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty() && event->preeditString().isEmpty()) {
        QTableView::inputMethodEvent(event);
        return;
    }
    emit Touched();
    StartEdit(QString());
    if (QWidget* box = EditBox()) QCoreApplication::sendEvent(box, event);
    event->accept();
}

bool NameListGrid::eventFilter(QObject* object, QEvent* event) {
    if (object != horizontalHeader()->viewport()) return QTableView::eventFilter(object, event);
    const auto type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int column = horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && column >= 1)
            BeginDrag(Drag::ItemColumn, column, horizontalHeader()->viewport());
        return true;
    }
    if (type == QEvent::MouseButtonRelease && m_drag != Drag::None) {
        EndDrag(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    return QTableView::eventFilter(object, event);
}

QModelIndex NameListGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableView::moveCursor(cursorAction, modifiers);
    // The number column is never the current cell.
    if (next.isValid() && next.column() == 0) return m_model.index(next.row(), 1);
    return next;
}

void NameListGrid::Paste() {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || current.column() < 1) return;
    CommitEdit();
    const QString text = QGuiApplication::clipboard()->text();
    if (!m_model.Paste(current.row(), current.column(), NameListModel::SplitPastedText(text)))
        emit PasteRefused();
}

void NameListGrid::BeginDrag(Drag drag, int from, QWidget* pointerOwner) {
    CommitEdit();
    emit Touched();
    m_drag = drag;
    m_dragFrom = from;
    m_pointerOwner = pointerOwner;
    m_pointerOwner->setCursor(Qt::SizeAllCursor);
}

void NameListGrid::EndDrag(const QPoint& globalPos) {
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (m_pointerOwner) m_pointerOwner->unsetCursor();
    m_pointerOwner = nullptr;
    const QPoint inCells = viewport()->mapFromGlobal(globalPos);
    const bool overCells = viewport()->rect().contains(inCells);
    if (drag == Drag::Entry) {
        const int row = rowAt(inCells.y());
        if (!overCells || row < 0) return;
        m_model.MoveEntry(m_dragFrom, row);
        SetCurrent(row, 1);
    } else if (drag == Drag::ItemColumn) {
        QWidget* headings = horizontalHeader()->viewport();
        const bool overHeadings = headings->rect().contains(headings->mapFromGlobal(globalPos));
        const int column = columnAt(inCells.x());
        if (!(overCells || overHeadings) || column < 1) return;
        m_model.MoveItemColumn(m_dragFrom, column);
        SetCurrent(0, column);
    }
}
