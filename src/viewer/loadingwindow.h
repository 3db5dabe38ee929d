#pragma once

#include "recordingloader.h"

#include <QWidget>

class QProgressBar;

// barreChargement: the small window with ProgressBar1 shown while a recording file loads, and
// the load it shows.
class LoadingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingWindow(QWidget *parent = nullptr);

    // Loads a recording file with this window shown and a wait cursor. Timers and painting go
    // on; the user's clicks and keys anywhere in the program are dropped, not held back until
    // the load is over.
    RecordingLoader::Result load(const QString &path, MeasurementBuffer &buffer,
                                 LoadedLines &lines);

    // Shows the window centred on the screen, the bar at 0 of size bytes.
    void begin(qint64 size);
    // Moves the bar to the position of the next byte to read, in steps of half a percent (finer
    // steps cost time and show nothing).
    void setPosition(qint64 position);
    void end();

    QProgressBar *progressBar() const { return m_bar; }

signals:
    // The window is shown and the load begins.
    void started();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QProgressBar *m_bar;
    qint64 m_size = 0;
    qint64 m_shown = 0; // the position the bar shows
    int m_shift = 0; // files past 2 GiB are counted in larger units
};
