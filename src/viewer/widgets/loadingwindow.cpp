#include "loadingwindow.h"

#include "common/twips.h"

#include <QApplication>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <limits>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

LoadingWindow::LoadingWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
    , m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("barreChargement"));
    setWindowTitle(QStringLiteral("Chargement en cours..."));
    setFixedSize(Twips::px(4650), Twips::px(585));
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setGeometry(Twips::rect(360, 120, 3975, 255));
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);
    setEnabled(false);
}

void LoadingWindow::setLoading(bool loading)
{
    if (loading) {
        m_closeAsked = false;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        qApp->installEventFilter(this);
        return;
    }
    // What the user did since the last yield is dropped too.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    m_bar->setEnabled(false);
    hide();
    setEnabled(false);
    if (m_closeAsked)
        QTimer::singleShot(0, parentWidget(), &QWidget::close);
}

RecordingLoader::Hooks LoadingWindow::hooks()
{
    RecordingLoader::Hooks hooks;
    hooks.progress = [this](qint64 position, qint64 size) {
        if (!isVisible())
            begin(size);
        setPosition(position);
    };
    hooks.yield = [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
    return hooks;
}

bool LoadingWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Installed on the application only while a file loads.
    if (event->type() == QEvent::Close && watched == parentWidget()) {
        event->ignore();
        m_closeAsked = true;
        return true;
    }
    return isUserInput(event->type()) || QWidget::eventFilter(watched, event);
}

void LoadingWindow::begin(qint64 size)
{
    m_size = size;
    m_shown = 0;
    m_shift = 0;
    while ((size >> m_shift) > std::numeric_limits<int>::max())
        ++m_shift;
    m_bar->setRange(0, int(size >> m_shift));
    m_bar->setValue(0);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
    setEnabled(true);
    m_bar->setEnabled(true);
    show();
    emit started();
}

void LoadingWindow::setPosition(qint64 position)
{
    if (position - m_shown < m_size / 200 && position != m_size)
        return;
    m_shown = position;
    m_bar->setValue(int(std::min<qint64>(position >> m_shift, m_bar->maximum())));
}
