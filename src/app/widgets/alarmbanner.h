#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

// The alarm told in the window, over the foot of the sample list so that the narrow window shows
// it too: what, since when and by how much, and "Acquitter" while it waits for that.
class AlarmBanner : public QFrame
{
    Q_OBJECT

public:
    explicit AlarmBanner(QWidget *parent);

    // Shown with this text, or hidden for an empty one.
    void showText(const QString &text, bool acknowledgeable);

signals:
    void acknowledged();

private:
    QLabel *m_text = nullptr;
    QPushButton *m_acknowledge = nullptr;
};
