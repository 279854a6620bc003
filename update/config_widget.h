#ifndef CONFIG_WIDGET_H
#define CONFIG_WIDGET_H

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

// The settings page: product, firmware and software versions, and the update offers.
class config_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit config_Widget(QWidget *parent = nullptr);

    // Shows "Version: a.b.c" on the firmware button and drops any earlier offer's connection.
    void showFirmwareVersion(const QString &text);

    QComboBox *languageBox = nullptr;
    QPushButton *fwVersionButton = nullptr;
    QLabel *fwUpdateMark = nullptr;
};

#endif
