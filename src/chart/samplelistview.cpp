#include "samplelistview.h"

#include "samplelist.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int kMargin = 4;
}

SampleListView::SampleListView(const SampleList &list, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_list(list)
{
    setObjectName(QStringLiteral("Text1"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, QColor(0, 192, 0));
    setPalette(p);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("menu_liste"));
    m_copy = m_menu->addAction(QStringLiteral("Copier"), this, &SampleListView::copySelection);
    m_copy->setObjectName(QStringLiteral("menu_copier"));
    m_menu->addAction(QStringLiteral("Tout sélectionner"), this, &SampleListView::selectAll)
        ->setObjectName(QStringLiteral("menu_tout_selectionner"));
}

void SampleListView::copySelection()
{
    if (m_anchor >= 0)
        QApplication::clipboard()->setText(selectedText());
}

void SampleListView::selectAll()
{
    if (m_list.rowCount() == 0)
        return;
    m_anchor = 0;
    m_end = m_list.rowCount() - 1;
    viewport()->update();
}

void SampleListView::contextMenuEvent(QContextMenuEvent *event)
{
    m_copy->setEnabled(m_anchor >= 0);
    m_menu->popup(event->globalPos());
    event->accept();
}

int SampleListView::rowHeight() const
{
    return fontMetrics().height();
}

int SampleListView::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

int SampleListView::rowAt(int y) const
{
    return firstVisibleRow() + std::max(0, y - kMargin / 2) / rowHeight();
}

void SampleListView::updateScrollBar()
{
    const int visible = std::max(1, (viewport()->height() - kMargin) / rowHeight());
    // The text ends with a line break: one empty row follows the last one.
    const int rows = m_list.rowCount() + (m_list.rowCount() > 0 ? 1 : 0);
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, std::max(0, rows - visible));
}

void SampleListView::listChanged(int rowsAddedOnTop)
{
    const int keep = verticalScrollBar()->value();
    updateScrollBar();
    if (rowsAddedOnTop > 0) {
        // A selection follows its samples down; a view at the top shows the newest.
        if (keep > 0)
            verticalScrollBar()->setValue(keep + rowsAddedOnTop);
        m_anchor = m_anchor >= 0 ? m_anchor + rowsAddedOnTop : -1;
        m_end = m_end >= 0 ? m_end + rowsAddedOnTop : -1;
    } else {
        verticalScrollBar()->setValue(0);
        m_anchor = m_end = -1;
    }
    viewport()->update();
}

QString SampleListView::toPlainText() const
{
    return m_list.text();
}

QString SampleListView::selectedText() const
{
    if (m_anchor < 0)
        return {};
    QString text;
    const int last = std::min(std::max(m_anchor, m_end), m_list.rowCount() - 1);
    for (int r = std::min(m_anchor, m_end); r <= last; ++r)
        text.append(m_list.row(r)).append(u'\n');
    return text;
}

void SampleListView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const int height = rowHeight();
    const int ascent = fontMetrics().ascent();
    const int first = firstVisibleRow();
    const int last = std::min(m_list.rowCount() - 1, first + viewport()->height() / height + 1);
    const int selFrom = std::min(m_anchor, m_end);
    const int selTo = std::max(m_anchor, m_end);
    for (int r = first; r <= last; ++r) {
        const int y = kMargin / 2 + (r - first) * height;
        const bool selected = m_anchor >= 0 && r >= selFrom && r <= selTo;
        if (selected)
            painter.fillRect(0, y, viewport()->width(), height,
                             palette().color(QPalette::Highlight));
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(kMargin, y + ascent, m_list.row(r));
    }
}

void SampleListView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void SampleListView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_list.rowCount() == 0)
        return;
    const int r = std::min(rowAt(int(event->position().y())), m_list.rowCount() - 1);
    if (!(event->modifiers() & Qt::ShiftModifier) || m_anchor < 0)
        m_anchor = r;
    m_end = r;
    viewport()->update();
}

void SampleListView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_anchor < 0)
        return;
    m_end = std::clamp(rowAt(int(event->position().y())), 0, m_list.rowCount() - 1);
    if (event->position().y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (event->position().y() > viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    viewport()->update();
}

void SampleListView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->key() == Qt::Key_Home) {
        verticalScrollBar()->setValue(0);
    } else if (event->key() == Qt::Key_End) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    } else {
        // Arrows and page keys scroll; every other key goes on to the window.
        QAbstractScrollArea::keyPressEvent(event);
    }
}
