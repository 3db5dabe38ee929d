#include "about/aboutbox.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

namespace {

struct Rig
{
    QList<QUrl> opened;
    AboutBox box {[this](const QUrl &url) {
        opened.append(url);
    }};
    Rig()
    {
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
    }
    QWidget *find(const char *name) const
    {
        return box.findChild<QWidget *>(QLatin1StringView(name));
    }
    bool mailUnderlined() const { return box.mailLabel()->font().underline(); }
    bool siteUnderlined() const { return box.siteLabel()->font().underline(); }
    // Moves the pointer onto a point of a widget that no child covers.
    void moveOnto(QWidget *w, QPoint at = QPoint(2, 2)) { QTest::mouseMove(w, at); }
};

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout()
    {
        Rig rig;
        QCOMPARE(rig.box.windowTitle(), QStringLiteral("About Quob"));
        QCOMPARE(rig.box.size(), QSize(250, 230));
        QVERIFY(rig.box.windowFlags() & Qt::Tool);
        QVERIFY(!rig.box.isModal());
        QCOMPARE(rig.box.mailLabel()->text(), QString::fromLatin1(AboutBox::ContactAddress));
        QCOMPARE(rig.box.siteLabel()->text(), AboutBox::siteUrl().toString());
        QCOMPARE(rig.box.mailLabel()->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        for (const char *name : {"Mail", "SiteQuob", "Label1", "Label2", "Image1", "Image2"})
            QCOMPARE(rig.find(name)->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(rig.box.cursor().shape(), Qt::ArrowCursor);
    }
    void urls()
    {
        const QUrl mail = AboutBox::mailUrl();
        QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
        QCOMPARE(mail.toEncoded(),
                 QByteArray("mailto:ondaris@example.org?Subject=Ondaris%20et%20carte%20K8055"));
        QCOMPARE(QUrlQuery(mail).queryItemValue("Subject"),
                 QStringLiteral("Ondaris et carte K8055"));
        QCOMPARE(AboutBox::siteUrl().host(), QStringLiteral("ondaris.example.org"));
    }
    void underlineTracking()
    {
        Rig rig;
        QVERIFY(!rig.mailUnderlined() && !rig.siteUnderlined());
        rig.moveOnto(rig.find("Mail"));
        QVERIFY(rig.mailUnderlined());
        rig.moveOnto(rig.find("Label1")); // the label keeps the underline
        rig.moveOnto(rig.find("Frame1"), {5, 40}); // so does the upper frame
        rig.moveOnto(rig.find("Command1")); // and the OK button
        QVERIFY(rig.mailUnderlined());
        rig.moveOnto(rig.find("SiteQuob"), {200, 38});
        QVERIFY(rig.mailUnderlined() && rig.siteUnderlined());
        rig.moveOnto(&rig.box, {3, 220}); // the bare background clears both
        QVERIFY(!rig.mailUnderlined() && !rig.siteUnderlined());

        rig.moveOnto(rig.find("SiteQuob"), {200, 38});
        QVERIFY(rig.siteUnderlined());
        QTest::mouseClick(static_cast<QPushButton *>(rig.find("Command1")), Qt::LeftButton);
        QVERIFY(!rig.box.isVisible());
        Rig again;
        QVERIFY(!again.mailUnderlined() && !again.siteUnderlined());
    }
    void everyTargetOpensOneUrl_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("scheme");
        for (const char *name : {"Mail", "Label1", "Image1"})
            QTest::newRow(name) << name << "mailto";
        for (const char *name : {"SiteQuob", "Label2", "Image2"})
            QTest::newRow(name) << name << "https";
    }
    void everyTargetOpensOneUrl()
    {
        QFETCH(QString, target);
        QFETCH(QString, scheme);
        Rig rig;
        QWidget *w = rig.find(target.toLatin1().constData());
        const QPoint at = (target == "Mail" || target == "SiteQuob")
            ? QPoint(w->width() - 3, w->height() - 3)
            : w->rect().center();
        // A double click as the window system delivers it: press, release, double click, release.
        const QPointF global = w->mapToGlobal(QPointF(at));
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(at), global, Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              {});
            QApplication::sendEvent(w, &event);
        }
        QCOMPARE(rig.opened.size(), 1);
        QCOMPARE(rig.opened.first().scheme(), scheme);
        QVERIFY(rig.box.isVisible());
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
