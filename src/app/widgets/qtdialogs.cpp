#include "qtdialogs.h"

#include "app/instrument.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>

namespace {

// A message box titled "Ondaris" whose buttons read "Oui", "Non" and "OK" whatever translations
// are installed.
// parent: its window for a box that waits inside a dialog's own event loop; none for a box
// that waits on its own.
std::unique_ptr<QMessageBox> messageBox(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &text, QMessageBox::StandardButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(icon, QString::fromLatin1(QtDialogs::Title), text,
                                             buttons, parent);
    const std::pair<QMessageBox::StandardButton, const char *> names[]
        = {{QMessageBox::Yes, "Oui"}, {QMessageBox::No, "Non"}, {QMessageBox::Ok, "OK"}};
    for (const auto &[button, name] : names)
        if (QAbstractButton *b = box->button(button))
            b->setText(QString::fromUtf8(name));
    return box;
}

// A type of file a dialog offers: its filter, and the suffix that ends a name of that type.
struct FileKind
{
    QString filter;
    QString suffix;
};

// A save dialog that refuses, as the platform's dialog does, a name it may not take: its own
// message before any question of overwriting, and the dialog stays open. Among several types, a
// name that ends with none of their suffixes gets the suffix of the one chosen in the list.
class RefusingFileDialog final : public QFileDialog
{
public:
    RefusingFileDialog(QWidget *parent, const QString &title, QFileDialog::AcceptMode mode,
                       QList<FileKind> types, const QString &proposed, Dialogs::Refusal refusal)
        : QFileDialog(parent, title)
        , m_types(std::move(types))
        , m_refusal(std::move(refusal))
    {
        // Qt's own dialog, so that the refusal applies and the texts are the program's.
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::AnyFile);
        setAcceptMode(mode);
        setOption(QFileDialog::DontConfirmOverwrite, false);
        QStringList filters;
        for (const FileKind &type : m_types)
            filters.append(type.filter);
        setNameFilters(filters);
        const FileKind *proposedType = typeOf(proposed);
        const FileKind &first = proposedType ? *proposedType : m_types.constFirst();
        selectNameFilter(first.filter);
        setDefaultSuffix(first.suffix);
        if (!proposed.isEmpty())
            selectFile(proposed);
        // Qt's dialog gives the name typed so far the chosen type's suffix in place of another.
        connect(this, &QFileDialog::filterSelected, this, [this](const QString &filter) {
            for (const FileKind &type : std::as_const(m_types))
                if (type.filter == filter)
                    setDefaultSuffix(type.suffix);
        });
    }

    void accept() override
    {
        const QString chosen = selectedFiles().value(0);
        if (m_types.size() > 1 && !chosen.isEmpty() && !QFileInfo(chosen).isDir()
            && !typeOf(chosen))
            selectFile(chosen + u'.' + defaultSuffix());
        if (m_refusal && acceptMode() == QFileDialog::AcceptSave && !selectedFiles().isEmpty()) {
            const QString reason = m_refusal(selectedFiles().constFirst());
            if (!reason.isEmpty()) {
                // Over the dialog, which stays open; answered without a loop of its own.
                QMessageBox *box
                    = messageBox(this, QMessageBox::Warning, reason, QMessageBox::Ok).release();
                box->setAttribute(Qt::WA_DeleteOnClose);
                box->open();
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    // The type whose suffix ends the name, in any case; none when no type's does.
    const FileKind *typeOf(const QString &name) const
    {
        const QString suffix = QFileInfo(name).suffix();
        for (const FileKind &type : m_types)
            if (suffix.compare(type.suffix, Qt::CaseInsensitive) == 0)
                return &type;
        return nullptr;
    }
    QList<FileKind> m_types;
    Dialogs::Refusal m_refusal;
};

// A save or open dialog of the given types, the first chosen unless the proposed name has
// another's suffix; a question before replacing a file; the chosen file, or an empty text when
// cancelled.
QString runFileDialog(QWidget *parent, const QString &title, QList<FileKind> types,
                      const QString &proposed, QFileDialog::AcceptMode mode,
                      Dialogs::Refusal refusal = {})
{
    RefusingFileDialog dialog(parent, title, mode, std::move(types), proposed, std::move(refusal));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QtDialogs::~QtDialogs()
{
    for (QMessageBox *box : waiting())
        delete box;
}

QList<QMessageBox *> QtDialogs::waiting() const
{
    QList<QMessageBox *> boxes;
    for (const QPointer<QMessageBox> &box : m_waiting)
        if (box && box->isVisible())
            boxes << box.data();
    return boxes;
}

void QtDialogs::showWaiting(QMessageBox *box, QWidget *parent)
{
    m_waiting.removeIf([](const QPointer<QMessageBox> &b) { return !b || !b->isVisible(); });
    // A window of its own, so that neither a disabled main window nor a closed settings dialog
    // takes the message with it; kept over its parent by the window manager.
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->winId();
    if (parent)
        box->windowHandle()->setTransientParent(parent->window()->windowHandle());
    box->show(); // its size is known from here on
    QPoint at = box->pos();
    const QSize size = box->frameGeometry().size();
    QRect screen = box->screen()->availableGeometry();
    if (parent) {
        // Beside the window where the screen has room, else under it, else over its top: the
        // clock, the live value, the record button and the alarm, at its bottom, stay in sight.
        const QRect window = parent->window()->frameGeometry();
        screen = parent->screen()->availableGeometry();
        const QPoint places[]
            = {window.topRight() + QPoint(8, 0), window.topLeft() - QPoint(size.width() + 8, 0),
               window.bottomLeft() + QPoint(0, 8)};
        at = QPoint(std::max(screen.left(), window.center().x() - size.width() / 2), window.top());
        for (const QPoint &place : places)
            if (screen.contains(QRect(place, size))) {
                at = place;
                break;
            }
    }
    // One below the other while the screen has room, else cascaded: none hides another.
    const QPoint first = at;
    bool cascading = false;
    for (int tries = 0; tries < 100; ++tries) {
        const auto over = std::find_if(
            m_waiting.cbegin(), m_waiting.cend(), [&](const QPointer<QMessageBox> &b) {
                return cascading ? b->pos() == at : b->frameGeometry().intersects(QRect(at, size));
            });
        if (over == m_waiting.cend())
            break;
        if (cascading) {
            at += QPoint(24, 24);
        } else {
            at.setY((*over)->frameGeometry().bottom() + 8);
            if (at.y() + size.height() > screen.bottom()) {
                cascading = true;
                at = first;
            }
        }
    }
    box->move(at);
    m_waiting.append(box);
    box->raise();
}

void QtDialogs::ask(QMessageBox *box, QWidget *parent, Answer answer)
{
    box->setDefaultButton(QMessageBox::Yes);
    QObject::connect(box, &QDialog::finished, box, [box, answer = std::move(answer)] {
        answer(box->standardButton(box->clickedButton()) == QMessageBox::Yes);
    });
    // The answer would reach a window that is gone.
    if (parent)
        QObject::connect(parent->window(), &QObject::destroyed, box, [box] { delete box; });
    showWaiting(box, parent);
}

void QtDialogs::askQuit(QWidget *parent, Answer answer)
{
    const QString text = QObject::tr("Arrêter l'enregistreur et quitter ?");
    for (QMessageBox *box : waiting())
        if (box->text() == text)
            return box->raise();
    ask(messageBox(nullptr, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No)
            .release(),
        parent, std::move(answer));
}

void QtDialogs::askResume(QWidget *parent, const QString &question, int seconds, Answer answer)
{
    QMessageBox *box
        = messageBox(nullptr, QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No)
              .release();
    auto *countdown = new QTimer(box);
    const auto show = [box](int left) {
        box->setInformativeText(
            QObject::tr("Sans réponse, l'enregistrement reprend de lui-même dans %1 s.").arg(left));
    };
    QObject::connect(countdown, &QTimer::timeout, box,
                     [box, countdown, show, left = seconds]() mutable {
                         if (--left > 0)
                             return show(left);
                         countdown->stop();
                         box->button(QMessageBox::Yes)->click();
                     });
    show(seconds);
    countdown->start(1000);
    ask(box, parent, std::move(answer));
}

QString QtDialogs::chooseNewRecording(QWidget *parent)
{
    return runFileDialog(parent, QObject::tr("Nouvel Enregistrement sous :"),
                         {{QStringLiteral("*.csv"), QStringLiteral("csv")}},
                         QStringLiteral("data_tr.csv"), QFileDialog::AcceptSave,
                         &Instrument::refusal);
}

QString QtDialogs::chooseRecordingToView(QWidget *parent)
{
    return runFileDialog(parent, QObject::tr("ouvrir"),
                         {{QStringLiteral("*.csv"), QStringLiteral("csv")}}, QString(),
                         QFileDialog::AcceptOpen);
}

QString QtDialogs::choosePicture(QWidget *parent, const QString &proposed, const Refusal &refusal)
{
    return runFileDialog(parent, QObject::tr("Enregistrer l'image sous :"),
                         {{QObject::tr("Images PNG (*.png)"), QStringLiteral("png")}}, proposed,
                         QFileDialog::AcceptSave, refusal);
}

QString QtDialogs::chooseSpreadsheet(QWidget *parent, const QString &proposed,
                                     const Refusal &refusal)
{
    return runFileDialog(parent, QObject::tr("Exporter pour tableur sous :"),
                         {{QObject::tr("Fichiers CSV (*.csv)"), QStringLiteral("csv")},
                          {QObject::tr("Classeur Excel (*.xlsx)"), QStringLiteral("xlsx")}},
                         proposed, QFileDialog::AcceptSave, refusal);
}

void QtDialogs::tell(QWidget *parent, const QString &text, bool warning)
{
    for (QMessageBox *box : waiting())
        if (box->text() == text)
            return box->raise(); // the same outage, still on screen
    showWaiting(messageBox(nullptr, warning ? QMessageBox::Warning : QMessageBox::Information, text,
                           QMessageBox::Ok)
                    .release(),
                parent);
}

void QtDialogs::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
