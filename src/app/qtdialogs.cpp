#include "qtdialogs.h"

#include "instrument.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
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

// A recording file dialog that refuses, as the platform's dialog does, a new file it cannot
// make: its own message, and the dialog stays open.
class RecordingFileDialog final : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        if (acceptMode() == QFileDialog::AcceptSave && !selectedFiles().isEmpty()) {
            const QString reason = Instrument::refusal(selectedFiles().constFirst());
            if (!reason.isEmpty()) {
                messageBox(this, QMessageBox::Warning, reason, QMessageBox::Ok)->exec();
                return;
            }
        }
        QFileDialog::accept();
    }
};

// The file dialog of the recordings: "*.csv" only, "csv" added to a bare name, a question before
// replacing a file; a new file's name that the instrument refuses is told, the dialog staying open.
std::unique_ptr<QFileDialog> recordingDialog(QWidget *parent, const QString &title,
                                             const QString &proposed, QFileDialog::AcceptMode mode)
{
    auto dialog = std::make_unique<RecordingFileDialog>(parent, title);
    // Qt's own dialog, so that the refusal above applies and the texts are the program's.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QStringLiteral("*.csv"));
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!proposed.isEmpty())
        dialog->selectFile(proposed);
    return dialog;
}

QString runFileDialog(QWidget *parent, const QString &title, const QString &proposed,
                      QFileDialog::AcceptMode mode)
{
    const auto dialog = recordingDialog(parent, title, proposed, mode);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

// A save dialog of Qt's own, proposing a path; an empty text when cancelled.
QString saveAs(QWidget *parent, const QString &title, const QString &filter, const QString &suffix,
               const QString &proposed)
{
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
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

QString QtDialogs::chooseNewRecording(QWidget *parent)
{
    return runFileDialog(parent, QObject::tr("Nouvel Enregistrement sous :"),
                         QStringLiteral("data_tr.csv"), QFileDialog::AcceptSave);
}

QString QtDialogs::chooseRecordingToView(QWidget *parent)
{
    return runFileDialog(parent, QObject::tr("ouvrir"), QString(), QFileDialog::AcceptOpen);
}

QString QtDialogs::choosePicture(QWidget *parent, const QString &proposed)
{
    return saveAs(parent, QObject::tr("Enregistrer l'image sous :"),
                  QObject::tr("Images PNG (*.png)"), QStringLiteral("png"), proposed);
}

QString QtDialogs::chooseSpreadsheet(QWidget *parent, const QString &proposed)
{
    return saveAs(parent, QObject::tr("Exporter pour tableur sous :"),
                  QObject::tr("Fichiers CSV (*.csv)"), QStringLiteral("csv"), proposed);
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
