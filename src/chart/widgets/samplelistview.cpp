#include "samplelistview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// A row as a line of text: the font's height, the text 4 pixels in, the selection behind it.
class RowDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {option.rect.width(), option.fontMetrics.height()};
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.highlight());
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(option.rect.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data().toString());
    }
};

} // namespace

SampleListView::SampleListView(QWidget *parent)
    : QListView(parent)
    , m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("Text1"));
    setItemDelegate(new RowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::IBeamCursor);
    // The rows begin 2 pixels below the border, on the list's black.
    setViewportMargins(0, 2, 0, 0);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, QColor(0, 192, 0));
    setPalette(p);

    m_menu->setObjectName(QStringLiteral("menu_liste"));
    // Owned by the view, not by the menu, whose clear() deletes the actions it owns.
    m_copy = new QAction(QStringLiteral("Copier"), this);
    m_copy->setObjectName(QStringLiteral("menu_copier"));
    connect(m_copy, &QAction::triggered, this, &SampleListView::copySelection);
    m_selectAll = new QAction(QStringLiteral("Tout sélectionner"), this);
    m_selectAll->setObjectName(QStringLiteral("menu_tout_selectionner"));
    connect(m_selectAll, &QAction::triggered, this, &QAbstractItemView::selectAll);
}

void SampleListView::copySelection()
{
    QModelIndexList rows = selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const QModelIndex &row : std::as_const(rows))
        text.append(row.data().toString()).append(u'\n');
    QApplication::clipboard()->setText(text);
}

void SampleListView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy))
        copySelection();
    else
        QListView::keyPressEvent(event);
}

void SampleListView::contextMenuEvent(QContextMenuEvent *event)
{
    m_copy->setEnabled(selectionModel() && selectionModel()->hasSelection());
    // The view's own actions, then those the window gave it.
    m_menu->clear();
    m_menu->addActions({m_copy, m_selectAll});
    if (!actions().isEmpty())
        m_menu->addSeparator();
    m_menu->addActions(actions());
    for (QAction *action : actions())
        action->setEnabled(model() && model()->rowCount() > 0);
    m_menu->popup(event->globalPos());
    event->accept();
}

void SampleListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    if (start == 0 && verticalScrollBar()->value() > 0)
        m_rowsAddedAbove += end - start + 1;
    QListView::rowsInserted(parent, start, end);
}

void SampleListView::updateGeometries()
{
    QListView::updateGeometries();
    // Once the scroll range has grown: a view at the top shows the newest sample, a view
    // further down keeps its samples in sight.
    if (m_rowsAddedAbove > 0) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() + m_rowsAddedAbove);
        m_rowsAddedAbove = 0;
    }
}
