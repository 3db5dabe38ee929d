#include "aboutbox.h"

#include "common/twips.h"
#include "common/widgets/programicon.h"
#include "linkframe.h"

#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrlQuery>

namespace {

constexpr QRgb kLinkGreen = qRgb(0, 128, 0);

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, QRect at)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setGeometry(at);
    return label;
}

QLabel *makeLink(QWidget *parent, const char *name, const QString &text, QRect at)
{
    QLabel *label = makeLabel(parent, name, text, at);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(kLinkGreen));
    label->setPalette(palette);
    return label;
}

} // namespace

AboutBox::AboutBox(UrlOpener opener, QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , m_opener(std::move(opener))
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Quob"));
    setWindowIcon(ProgramIcon::icon());
    setFixedSize(Twips::px(3750), Twips::px(3450));
    setMouseTracking(true);

    auto *frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(Twips::rect(120, 120, 3495, 1335));
    // Moving over the upper frame changes no underline.
    frame1->setAttribute(Qt::WA_NoMousePropagation);
    frame1->setMouseTracking(true);
    QLabel *image3 = makeLabel(frame1, "Image3", QString(), Twips::rect(240, 480, 480, 480));
    image3->setPixmap(ProgramIcon::pixmap(Twips::px(480)));
    QLabel *name
        = makeLabel(frame1, "Label4", QStringLiteral("Ondaris"), Twips::rect(720, 240, 2655, 615));
    name->setAlignment(Qt::AlignCenter);
    QFont nameFont = name->font();
    nameFont.setPointSizeF(12);
    nameFont.setBold(true);
    name->setFont(nameFont);
    QLabel *version
        = makeLabel(frame1, "Label3", QStringLiteral("V 1.01"), Twips::rect(1080, 915, 615, 255));
    version->setAlignment(Qt::AlignCenter);
    QFont versionFont = version->font();
    versionFont.setPointSizeF(9.75);
    version->setFont(versionFont);
    QLabel *credit = makeLabel(frame1, "Label5", QString::fromLatin1(Credit),
                               Twips::rect(1800, 975, 1335, 135));
    QFont creditFont = credit->font();
    creditFont.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    creditFont.setStyleHint(QFont::Serif);
    creditFont.setPointSizeF(6);
    credit->setFont(creditFont);
    credit->setForegroundRole(QPalette::Dark);

    auto *mail = new LinkFrame(this);
    mail->setObjectName(QStringLiteral("Mail"));
    mail->setGeometry(Twips::rect(240, 1560, 3015, 615));
    QLabel *image1 = makeLabel(mail, "Image1", QString(), Twips::rect(120, 120, 480, 480));
    image1->setPixmap(ProgramIcon::pixmap(32));
    m_label1 = makeLink(mail, "Label1", QString::fromLatin1(ContactAddress),
                        Twips::rect(720, 240, 2175, 255));
    mail->adopt(image1);
    mail->adopt(m_label1);

    auto *site = new LinkFrame(this);
    site->setObjectName(QStringLiteral("SiteQuob"));
    site->setGeometry(Twips::rect(0, 2280, 3615, 615));
    QLabel *image2 = makeLabel(site, "Image2", QString(), Twips::rect(120, 0, 1095, 495));
    image2->setPixmap(ProgramIcon::banner());
    image2->setScaledContents(true);
    m_label2
        = makeLink(site, "Label2", QString::fromLatin1(SiteUrl), Twips::rect(1320, 120, 2295, 255));
    site->adopt(image2);
    site->adopt(m_label2);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(Twips::rect(1200, 3000, 975, 375));
    ok->setAttribute(Qt::WA_NoMousePropagation);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    connect(mail, &LinkFrame::hovered, this, [this] { setUnderlined(m_label1, true); });
    connect(site, &LinkFrame::hovered, this, [this] { setUnderlined(m_label2, true); });
    connect(mail, &LinkFrame::clicked, this, &AboutBox::envoie_mail);
    connect(site, &LinkFrame::clicked, this, &AboutBox::ouvre_site);
}

QUrl AboutBox::mailUrl()
{
    QUrl url(QStringLiteral("mailto:") + QString::fromLatin1(ContactAddress));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("Subject"), QString::fromUtf8(MailSubject));
    url.setQuery(query);
    return url;
}

QUrl AboutBox::siteUrl()
{
    return QUrl(QString::fromLatin1(SiteUrl));
}

void AboutBox::envoie_mail()
{
    m_opener(mailUrl());
}

void AboutBox::ouvre_site()
{
    m_opener(siteUrl());
}

void AboutBox::mouseMoveEvent(QMouseEvent *event)
{
    // Only the bare background of the box removes the underlines.
    if (childAt(event->position().toPoint()) == nullptr) {
        setUnderlined(m_label1, false);
        setUnderlined(m_label2, false);
    }
    QWidget::mouseMoveEvent(event);
}

void AboutBox::setUnderlined(QLabel *label, bool underlined)
{
    QFont font = label->font();
    if (font.underline() == underlined)
        return;
    font.setUnderline(underlined);
    label->setFont(font);
}
