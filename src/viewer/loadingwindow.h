#pragma once

#include <QWidget>

class QProgressBar;

// barreChargement: the small window with ProgressBar1 shown while a recording file loads.
class LoadingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingWindow(QWidget *parent = nullptr);

    // Shows the window centred on the screen, the bar at 0 of size bytes.
    void begin(qint64 size);
    // Moves the bar to the position of the next byte to read.
    void setPosition(qint64 position);
    void end();

    QProgressBar *progressBar() const { return m_bar; }

private:
    QProgressBar *m_bar;
    int m_shift = 0; // files past 2 GiB are counted in larger units
};
