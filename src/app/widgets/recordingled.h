#pragma once

#include <QTimer>
#include <QWidget>

class CircleShape;

// Frame2: the recording LED, a dark red disc with a white reflection spot. While a recording
// runs it blinks (TimerLed, 500 ms lit, 500 ms dark) with a pink glow around it when lit.
class RecordingLed : public QWidget
{
    Q_OBJECT

public:
    explicit RecordingLed(QWidget *parent = nullptr);

    // Starts the blinking, lit at the first tick; or stops it and leaves the LED dark.
    void setBlinking(bool blinking);
    // One blink step.
    void TimerLed_Timer();

private:
    // The LED's dark look.
    void eteint_led();
    void setLit(bool lit);

    CircleShape *m_glow; // LedOn1
    CircleShape *m_body; // Led1
    QTimer m_timerLed {this};
    bool m_lit = false;
};
