#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class LinkFrame;
class QLabel;

// The About box: the program's name, version and credit, a mail link and a web link. Not modal;
// the links open with the user's default programs through the injected opener.
class AboutBox : public QWidget
{
    Q_OBJECT

public:
    using UrlOpener = std::function<void(const QUrl &)>;

    static constexpr const char *ContactAddress = "ondaris@example.org";
    static constexpr const char *MailSubject = "Ondaris et carte K8055";
    static constexpr const char *SiteUrl = "https://ondaris.example.org";
    static constexpr const char *Credit = "OD 12-2026 - 12-2026";

    explicit AboutBox(UrlOpener opener, QWidget *parent = nullptr);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // "mailto:" + address + "?Subject=" + subject, percent-encoded; the site's address.
    static QUrl mailUrl();
    static QUrl siteUrl();
    void envoie_mail();
    void ouvre_site();
    void setUnderlined(QLabel *label, bool underlined);

    UrlOpener m_opener;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
};
