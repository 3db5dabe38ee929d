#include "loadingwindow.h"

#include "app/twips.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <limits>

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

void LoadingWindow::begin(qint64 size)
{
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
}

void LoadingWindow::setPosition(qint64 position)
{
    m_bar->setValue(int(std::min<qint64>(position >> m_shift, m_bar->maximum())));
}

void LoadingWindow::end()
{
    m_bar->setEnabled(false);
    hide();
    setEnabled(false);
}
