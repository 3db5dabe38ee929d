#pragma once

#include <QAbstractScrollArea>

class SampleList;

// Text1: the read-only list of samples, green on black with a vertical scroll bar. It paints
// only the rows in sight, straight from the SampleList; rows can be selected and copied.
class SampleListView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit SampleListView(const SampleList &list, QWidget *parent = nullptr);

    // The list changed; with rows added on top a scrolled-down view and the selection stay on
    // the same samples, otherwise the view goes back to the top and the selection is dropped.
    void listChanged(int rowsAddedOnTop = 0);
    // Every row, each ended by a line break (what a copy of the whole list gives).
    QString toPlainText() const;
    // The rows selected, as copied to the clipboard.
    QString selectedText() const;
    int firstVisibleRow() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // "Copier" and "Tout sélectionner", as Ctrl+C and Ctrl+A.
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void copySelection();
    void selectAll();
    int rowHeight() const;
    int rowAt(int y) const;
    void updateScrollBar();

    const SampleList &m_list;
    int m_anchor = -1; // selection: rows between anchor and end, both included
    int m_end = -1;
    class QMenu *m_menu = nullptr;
    class QAction *m_copy = nullptr;
};
