#pragma once

#include "viewer/recordingloader.h"

#include <QWidget>

class QProgressBar;

// barreChargement: the small window with ProgressBar1 shown while a recording file loads.
class LoadingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingWindow(QWidget *parent);

    // While a file loads, a wait cursor, and this window from the first progress on. Timers and
    // painting go on; the user's clicks and keys anywhere in the program are dropped, not held
    // back until the load is over, and a close of the main window is asked again after it.
    void setLoading(bool loading);
    // The load's progress, shown on the bar, and its yields to the event loop.
    RecordingLoader::Hooks hooks();

signals:
    // The window is shown: the reading has begun.
    void started();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows the window centred on the screen, the bar at 0 of size bytes.
    void begin(qint64 size);
    // Moves the bar to the position of the next byte to read, in steps of half a percent (finer
    // steps cost time and show nothing).
    void setPosition(qint64 position);

    QProgressBar *m_bar;
    qint64 m_size = 0;
    qint64 m_shown = 0; // the position the bar shows
    int m_shift = 0; // files past 2 GiB are counted in larger units
    bool m_closeAsked = false;
};
