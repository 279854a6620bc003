// The firmware update dialog: version on offer, description, start button, progress and finished state.
#ifndef UPDATEDIALOG_H
#define UPDATEDIALOG_H

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class UpdateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateDialog(QWidget *parent = nullptr);

    QLabel *iconLabel = nullptr;
    QLabel *contentLabel = nullptr;
    QLabel *statusLabel = nullptr;
    QLabel *messageLabel = nullptr;
    QPushButton *startButton = nullptr;
    QPushButton *okButton = nullptr;
    QProgressBar *progressBar = nullptr;
    QString versionText;

    void retranslateUi();

public slots:
    void update_finishi();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QLabel *titleLabel = nullptr;
    // The placeholder shown until the firmware description arrives, as last translated.
    QString contentPlaceholder;
};

#endif
