#include "qtdialogs.h"

#include "app/instrument.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

namespace {

// A message box titled "Ondaris" whose buttons read "Oui", "Non" and "OK" whatever translations
// are installed.
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

// A save dialog that refuses, as the platform's dialog does, a name it may not take: its own
// message before any question of overwriting, and the dialog stays open.
class RefusingFileDialog final : public QFileDialog
{
public:
    RefusingFileDialog(QWidget *parent, const QString &title, Dialogs::Refusal refusal)
        : QFileDialog(parent, title)
        , m_refusal(std::move(refusal))
    {
        // Qt's own dialog, so that the refusal applies and the texts are the program's.
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::AnyFile);
    }

    void accept() override
    {
        if (m_refusal && acceptMode() == QFileDialog::AcceptSave && !selectedFiles().isEmpty()) {
            const QString reason = m_refusal(selectedFiles().constFirst());
            if (!reason.isEmpty()) {
                messageBox(this, QMessageBox::Warning, reason, QMessageBox::Ok)->exec();
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    Dialogs::Refusal m_refusal;
};

// A save or open dialog: one filter, its suffix added to a bare name, a question before
// replacing a file; the chosen file, or an empty text when cancelled.
QString runFileDialog(QWidget *parent, const QString &title, const QString &filter,
                      const QString &suffix, const QString &proposed, QFileDialog::AcceptMode mode,
                      Dialogs::Refusal refusal = {})
{
    RefusingFileDialog dialog(parent, title, std::move(refusal));
    dialog.setAcceptMode(mode);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool QtDialogs::confirmQuit(QWidget *parent)
{
    const auto box = messageBox(parent, QMessageBox::Question,
                                QObject::tr("Arrêter l'enregistreur et quitter ?"),
                                QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
    return box->exec() == QMessageBox::Yes;
}

bool QtDialogs::confirmResume(QWidget *parent, const QString &question, int seconds)
{
    const auto box
        = messageBox(parent, QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
    QTimer countdown;
    const auto show = [&] {
        box->setInformativeText(
            QObject::tr("Sans réponse, l'enregistrement reprend de lui-même dans %1 s.")
                .arg(seconds));
    };
    show();
    QObject::connect(&countdown, &QTimer::timeout, box.get(), [&] {
        if (--seconds > 0)
            return show();
        countdown.stop();
        box->button(QMessageBox::Yes)->click();
    });
    countdown.start(1000);
    return box->exec() == QMessageBox::Yes;
}

QString QtDialogs::chooseNewRecording(QWidget *parent)
{
    return runFileDialog(parent, QObject::tr("Nouvel Enregistrement sous :"),
                         QStringLiteral("*.csv"), QStringLiteral("csv"),
                         QStringLiteral("data_tr.csv"), QFileDialog::AcceptSave,
                         &Instrument::refusal);
}

QString QtDialogs::chooseRecordingToView(QWidget *parent)
{
    return runFileDialog(parent, QObject::tr("ouvrir"), QStringLiteral("*.csv"),
                         QStringLiteral("csv"), QString(), QFileDialog::AcceptOpen);
}

QString QtDialogs::choosePicture(QWidget *parent, const QString &proposed, const Refusal &refusal)
{
    return runFileDialog(parent, QObject::tr("Enregistrer l'image sous :"),
                         QObject::tr("Images PNG (*.png)"), QStringLiteral("png"), proposed,
                         QFileDialog::AcceptSave, refusal);
}

QString QtDialogs::chooseSpreadsheet(QWidget *parent, const QString &proposed,
                                     const Refusal &refusal)
{
    return runFileDialog(parent, QObject::tr("Exporter pour tableur sous :"),
                         QObject::tr("Fichiers CSV (*.csv)"), QStringLiteral("csv"), proposed,
                         QFileDialog::AcceptSave, refusal);
}

void QtDialogs::tell(QWidget *parent, const QString &text, bool warning)
{
    messageBox(parent, warning ? QMessageBox::Warning : QMessageBox::Information, text,
               QMessageBox::Ok)
        ->exec();
}

void QtDialogs::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
