#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

class NameListModel;

// The edit box "txtEdit" laid exactly over the cell being edited. In the box Enter and Down
// commit and ask to move down, Up commits and asks to move up, Esc discards.
class NameListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

signals:
    void StepRequested(int rows);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

// The grid "fgdView" of the name-list editor: the key rules of the grid, the edit box,
// dragging an entry by its number cell and an item column by its heading, and pasting
// cells copied from a spreadsheet. What it does to the list goes through the model.
class NameListGrid : public QTableView {
    Q_OBJECT
public:
    NameListGrid(NameListModel& model, QWidget* parent = nullptr);

    // The edit box while a cell is being edited, else null.
    QWidget* EditBox() const;
    // Copies the open edit box's text into its cell and closes the box.
    void CommitEdit();
    // Makes (row, column) the current cell; committing an open edit box.
    void SetCurrent(int row, int column);

signals:
    // A key that produces a character, a double-click, a drag or a paste: the list may
    // have changed, even when nothing did.
    void Touched();
    // Pasted lines that did not fit: the list is full.
    void PasteRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    enum class Drag { None, Entry, ItemColumn };

    void StartEdit(const QString& text);
    void Step(int rows);
    void Paste();
    void BeginDrag(Drag drag, int from, QWidget* pointerOwner);
    void EndDrag(const QPoint& globalPos);

    NameListModel& m_model;
    NameListDelegate* m_delegate;
    Drag m_drag = Drag::None;
    int m_dragFrom = -1;
    QWidget* m_pointerOwner = nullptr;
};
