#include "alarmbanner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AlarmBanner::AlarmBanner(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("FrameAlarme"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(160, 0, 0));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);

    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("LabelAlarme"));
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_acknowledge = new QPushButton(tr("Acquitter"), this);
    m_acknowledge->setObjectName(QStringLiteral("CmdAcquitter"));
    m_acknowledge->setAutoDefault(false);
    m_acknowledge->setPalette(QWidget::palette()); // a button as the others
    connect(m_acknowledge, &QPushButton::clicked, this, &AlarmBanner::acknowledged);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 3);
    layout->setSpacing(2);
    layout->addWidget(m_text, 1);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_acknowledge);
    layout->addLayout(row);
    hide();
}

void AlarmBanner::showText(const QString &text, bool acknowledgeable)
{
    if (m_text->text() != text)
        m_text->setText(text);
    m_acknowledge->setVisible(acknowledgeable);
    setVisible(!text.isEmpty());
}
