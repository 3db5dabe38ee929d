#include "recordingled.h"

#include "circleshape.h"
#include "common/twips.h"

namespace {
// Led1's fill: full red when lit, dark red otherwise.
constexpr QRgb kLit = qRgb(255, 0, 0);
constexpr QRgb kDark = qRgb(128, 0, 0);
} // namespace

RecordingLed::RecordingLed(QWidget *parent)
    : QWidget(parent)
    , m_glow(new CircleShape(this))
    , m_body(new CircleShape(this))
{
    setObjectName(QStringLiteral("Frame2"));
    // Back to front: the glow, the body, the reflection.
    m_glow->setObjectName(QStringLiteral("LedOn1"));
    m_glow->setGeometry(Twips::rect(105, 210, 210, 210));
    m_glow->setBackColor(QColor(255, 128, 128));
    m_glow->setBorderColor(QColor(255, 192, 192));
    m_glow->setBorderWidth(2);
    m_glow->setFillColor(QColor(kDark));
    m_body->setObjectName(QStringLiteral("Led1"));
    m_body->setGeometry(Twips::rect(120, 240, 165, 135));
    m_body->setBorderColor(QColor(kDark));
    m_body->setFillSolid(true);
    auto *reflection = new CircleShape(this);
    reflection->setObjectName(QStringLiteral("RefleLed1"));
    reflection->setGeometry(Twips::rect(145, 215, 30, 150));
    reflection->setBorderColor(palette().color(QPalette::Base));
    reflection->setFillColor(Qt::white);
    reflection->setBackColor(Qt::white);
    reflection->setBackOpaque(true);
    eteint_led();

    m_timerLed.setObjectName(QStringLiteral("TimerLed"));
    m_timerLed.setInterval(500);
    connect(&m_timerLed, &QTimer::timeout, this, &RecordingLed::TimerLed_Timer);
}

void RecordingLed::setBlinking(bool blinking)
{
    if (blinking) {
        m_timerLed.start();
    } else {
        eteint_led();
        m_timerLed.stop();
    }
}

void RecordingLed::TimerLed_Timer()
{
    setLit(!m_lit);
}

void RecordingLed::eteint_led()
{
    setLit(false);
}

void RecordingLed::setLit(bool lit)
{
    m_lit = lit;
    m_body->setFillColor(QColor(lit ? kLit : kDark));
    m_glow->setBackOpaque(lit);
    m_glow->setBorderVisible(lit);
}
