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
    // One line above the version rows: the firmware update did not take, or the new application did not start.
    void showFirmwareNotTaken(const QString &reported, const QString &offered);
    void showStartFailure(const QString &executable);
    void clearNotice();

    QPushButton *fwVersionButton = nullptr;
    QPushButton *appVersionButton = nullptr;
    QLabel *fwUpdateMark = nullptr;
    QLabel *appUpdateMark = nullptr;
    UpdateDialog *updateDialog = nullptr;
    QComboBox *languageBox = nullptr;
    QLabel *noticeLabel = nullptr;
};

#endif
