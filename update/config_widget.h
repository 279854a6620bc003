#ifndef CONFIG_WIDGET_H
#define CONFIG_WIDGET_H

#include <QWidget>

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
    explicit config_Widget(QWidget *parent = nullptr);

    // Shows "Version: a.b.c" on the firmware button and drops any earlier offer's connection.
    void showFirmwareVersion(const QString &text);
    void retranslateUi();

    QPushButton *fwVersionButton = nullptr;
    QPushButton *appVersionButton = nullptr;
    QLabel *fwUpdateMark = nullptr;
    QLabel *appUpdateMark = nullptr;
    UpdateDialog *updateDialog = nullptr;
    QComboBox *languageBox = nullptr;

protected:
    void changeEvent(QEvent *event) override;

private:
    QLabel *fwCaption = nullptr;
    QLabel *appCaption = nullptr;
    QLabel *languageCaption = nullptr;
};

#endif
