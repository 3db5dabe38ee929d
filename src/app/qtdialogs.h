#pragma once

#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <memory>

// The real dialogs: message boxes titled "Ondaris", Qt's file dialogs, the desktop's URL handler.
class QtDialogs final : public Dialogs
{
public:
    static constexpr const char *Title = "Ondaris";

    bool confirmQuit(QWidget *parent) override;
    QString chooseNewRecording(QWidget *parent) override;
    QString chooseRecordingToView(QWidget *parent) override;
    QString choosePicture(QWidget *parent, const QString &proposed) override;
    void tell(QWidget *parent, const QString &text, bool warning) override;
    void openUrl(const QUrl &url) override;

    // The file dialog of the recordings: "*.csv" only, "csv" added to a bare name, a question
    // before replacing a file; a new file's name is refused (with a message, the dialog staying
    // open) when refusal() gives a reason.
    static std::unique_ptr<QFileDialog> recordingDialog(QWidget *parent, const QString &title,
                                                        const QString &proposed,
                                                        QFileDialog::AcceptMode mode);
    // Why a new recording cannot be made under this path, in French; empty when it can: its
    // folder must exist, and the settings file must be able to keep its name.
    static QString refusal(const QString &path);
    // A message box titled "Ondaris" whose buttons read "Oui", "Non" and "OK" whatever
    // translations are installed.
    static std::unique_ptr<QMessageBox> messageBox(QWidget *parent, QMessageBox::Icon icon,
                                                   const QString &text,
                                                   QMessageBox::StandardButtons buttons);
};
