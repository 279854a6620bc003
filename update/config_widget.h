#ifndef CONFIG_WIDGET_H
#define CONFIG_WIDGET_H

#include <QFileDialog>
#include <QWidget>

#include <functional>

class MouseLink;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class UpdateDialog;

// The settings page: product, firmware and software versions, and the update offers. It only builds its
// widgets; the main window wires them.
class config_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit config_Widget(MouseLink &link, QWidget *parent = nullptr);

    // Shows "Version: a.b.c" on the firmware button. An offer stays while the mouse reports the version it was
    // made for (a factory reset reads it again); another version ends the offer, mark and all.
    void showFirmwareVersion(const QString &text);
    // A downloaded image on offer: the mark, "发现新版本  ", and a click opens the update dialog.
    void offerFirmware();
    // A new application on offer: the mark and "发现新版本  "; the main window wires the click.
    void offerApplication();
    // Export and import need the mouse: not without one, not during a firmware transfer, and one at a time.
    // Without a mouse the firmware row shows no version and no offer.
    void setMouseConnected(bool connected);
    void setFirmwareTransferRunning(bool running);
    void retranslateUi();
    // One line above the version rows: the firmware update did not take, or the new application did not start.
    void showFirmwareNotTaken(const QString &reported, const QString &offered);
    void showStartFailure(const QString &executable);
    void clearNotice();
    // Beside the language row: the choice could not be saved to `settingsFile`; an empty name clears it.
    void showLanguageNotSaved(const QString &settingsFile);

    QPushButton *fwVersionButton = nullptr;
    QPushButton *appVersionButton = nullptr;
    QLabel *fwUpdateMark = nullptr;
    QLabel *appUpdateMark = nullptr;
    UpdateDialog *updateDialog = nullptr;
    QComboBox *languageBox = nullptr;
    QPushButton *exportButton = nullptr;
    QPushButton *importButton = nullptr;
    QLabel *profileStatusLabel = nullptr;
    QLabel *noticeLabel = nullptr;
    QLabel *languageStatusLabel = nullptr;
    // Start at login, hidden in the tray.
    QCheckBox *autostartBox = nullptr;
    QLabel *autostartStatusLabel = nullptr;

signals:
    // The mouse holds a new configuration: the pages must read it.
    void profileImported();

private slots:
    void exportProfile();
    void importProfile();
    void setAutostart(bool enabled);

private:
    void updateProfileButtons();
    void endFirmwareOffer();
    void showProfileResult(const QString &text);
    void setProfileBusy(bool busy, const QString &text);
    void showNotice(std::function<QString()> text);
    // Beside the start-at-login row: `where` could not be written; empty clears it.
    void showAutostartNotSaved(const QString &where);
    // A file dialog over the window, in the desktop's own look.
    QString chooseProfileFile(QFileDialog::AcceptMode mode);

    MouseLink &link;
    bool mouseConnected = false;
    bool transferRunning = false;
    bool profileBusy = false;   // an export or import waits for the mouse
    QString shownFirmwareVersion;
    bool firmwareOffered = false;
    bool applicationOffered = false;
    QString lastProfilePath;
    QString unsavedLanguageFile;
    QString unsavedAutostartPlace;
    // Words the notice in the language in use: it stays up across a language change.
    std::function<QString()> noticeText;

protected:
    void changeEvent(QEvent *event) override;

private:
    QLabel *fwCaption = nullptr;
    QLabel *appCaption = nullptr;
    QLabel *languageCaption = nullptr;
    QLabel *profileCaption = nullptr;
    QLabel *autostartCaption = nullptr;
};

#endif
