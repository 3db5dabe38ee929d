#pragma once

#include <QListView>

class QAction;
class QMenu;

// Text1: the read-only list of samples, green on black with a vertical scroll bar. Rows can be
// selected and copied ("Copier", "Tout sélectionner", Ctrl+C, Ctrl+A); the actions added to the
// view follow them in its context menu. A row added on top leaves a scrolled-down view and the
// selection on the samples they were on.
class SampleListView : public QListView
{
    Q_OBJECT

public:
    explicit SampleListView(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void updateGeometries() override;

private:
    void copySelection();

    QMenu *m_menu;
    QAction *m_copy;
    QAction *m_selectAll;
    int m_rowsAddedAbove = 0; // rows inserted above a scrolled-down view, not yet scrolled past
};
