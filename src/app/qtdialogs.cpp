#include "qtdialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace {

QString runFileDialog(QWidget *parent, const QString &title, const QString &proposed,
                      QFileDialog::AcceptMode mode)
{
    const auto dialog = QtDialogs::recordingDialog(parent, title, proposed, mode);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

} // namespace

std::unique_ptr<QFileDialog> QtDialogs::recordingDialog(QWidget *parent, const QString &title,
                                                        const QString &proposed,
                                                        QFileDialog::AcceptMode mode)
{
    auto dialog = std::make_unique<QFileDialog>(parent, title);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QStringLiteral("*.csv"));
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!proposed.isEmpty())
        dialog->selectFile(proposed);
    return dialog;
}

bool QtDialogs::confirmQuit(QWidget *parent)
{
    return QMessageBox::question(parent, QString::fromLatin1(Title),
                                 QObject::tr("Arrêter l'enregistreur et quitter ?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
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

void QtDialogs::tell(QWidget *parent, const QString &text, bool warning)
{
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromLatin1(Title), text, QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogs::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
