#include "about/aboutbox.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

class TestAboutBox : public QObject
{
    Q_OBJECT

    QList<QUrl> opened;
    std::unique_ptr<AboutBox> box;
    QWidget *find(const char *name) const
    {
        return box->findChild<QWidget *>(QLatin1StringView(name));
    }
    QPair<bool, bool> underlined() const
    {
        return {find("Label1")->font().underline(), find("Label2")->font().underline()};
    }

private Q_SLOTS:
    void init()
    {
        opened.clear();
        box = std::make_unique<AboutBox>([this](const QUrl &url) { opened.append(url); });
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    }
    // A link is underlined under the pointer and stays so over its label, the frame and OK;
    // the bare background clears both; a new box starts plain.
    void underlineTracking()
    {
        QCOMPARE(underlined(), qMakePair(false, false));
        for (const auto &[name, at] : {std::pair("Mail", QPoint(2, 2)),
                                       {"Label1", {2, 2}},
                                       {"Frame1", {5, 40}},
                                       {"Command1", {2, 2}}})
            QTest::mouseMove(find(name), at);
        QCOMPARE(underlined(), qMakePair(true, false));
        QTest::mouseMove(find("SiteQuob"), {200, 38});
        QCOMPARE(underlined(), qMakePair(true, true));
        QTest::mouseMove(box.get(), {3, 220});
        QCOMPARE(underlined(), qMakePair(false, false));
        QTest::mouseMove(find("SiteQuob"), {200, 38});
        QTest::mouseClick(static_cast<QPushButton *>(find("Command1")), Qt::LeftButton);
        QVERIFY(!box->isVisible());
        init();
        QCOMPARE(underlined(), qMakePair(false, false));
    }
    // Each part of a link shows a hand; a double click as the window system delivers it opens
    // one address, the box stays.
    void everyTargetOpensOneUrl()
    {
        const QByteArray mail = "mailto:ondaris@example.org?Subject=Ondaris%20et%20carte%20K8055";
        const QByteArray site = "https://ondaris.example.org";
        const std::tuple<const char *, QByteArray, bool> targets[] {
            // name, address, clicked at its bottom-right corner (the links' own labels)
            {"Mail", mail, true},     {"Label1", mail, false}, {"Image1", mail, false},
            {"SiteQuob", site, true}, {"Label2", site, false}, {"Image2", site, false}};
        for (const auto &[name, address, corner] : targets) {
            init();
            QWidget *w = find(name);
            QCOMPARE(w->cursor().shape(), Qt::PointingHandCursor);
            const QPoint at = corner ? QPoint(w->width() - 3, w->height() - 3) : w->rect().center();
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
                QMouseEvent event(
                    type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
                QApplication::sendEvent(w, &event);
            }
            QCOMPARE(opened.size(), 1);
            QCOMPARE(opened.first().toEncoded(), address);
            QVERIFY(box->isVisible());
        }
        QCOMPARE(static_cast<QLabel *>(find("Label2"))->text(), site);
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
