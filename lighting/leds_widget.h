#ifndef LEDS_WIDGET_H
#define LEDS_WIDGET_H

#include <QPointer>
#include <QWidget>

class ColorBtn;
class LightStripView;
class Mouse;
class QButtonGroup;
class QGraphicsOpacityEffect;
class QLabel;
class QLineEdit;
class QPushButton;
class QSequentialAnimationGroup;
class SpeedSlider;
class color_picker_Square;
struct DeviceSettings;

// The lighting page: mode, effect speed and colour of the mouse's lights, with six saved colours.
// Every change is sent to the mouse at once as one lighting command.
class leds_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit leds_Widget(Mouse &mouse, QWidget *parent = nullptr);

    // Shows the lighting state read from the mouse without sending anything back.
    void showDeviceLighting(const DeviceSettings &settings);
    // Enables or disables the swatches, the picker, the restore button, the edits and their labels together.
    void setColorControlsEnabled(bool enabled);
    // Shows the chosen lighting on the light strip of the mouse picture while this page is shown. The preview
    // follows every change and sends nothing.
    void showPreviewOn(QWidget *mousePicture);
    LightStripView *stripPreview() const;

    void setVisible(bool visible) override;
    void retranslateUi();

    QButtonGroup *modeGroup;
    QLabel *speedLabel;
    SpeedSlider *speedSlider;
    QButtonGroup *colorGroup;
    QPushButton *restoreButton;
    color_picker_Square *colorPicker;
    QLineEdit *redEdit;
    QLineEdit *greenEdit;
    QLineEdit *blueEdit;
    QLineEdit *hexEdit;

public slots:
    void rgb_value_edited(QString value);
    void hex_value_edited(QString value);
    void clr_btns_checked(int ID, bool checked);
    void color_picked();
    void change_mouse_color();
    void change_speedslider_status(int btn_ID, bool checked);
    void rst_color();
    void get_saved_color();

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildLeftPanel();
    void buildRightPanel();
    void buildAppearance();
    void setPanelEffectsEnabled(bool enabled);
    void showPickerColourInEdits();
    void updatePreview();
    void keepCaptionOffStrip();
    ColorBtn *swatch(int id) const;

    Mouse &mouse;
    QWidget *leftPanel;
    QWidget *rightPanel;
    QWidget *editBox = nullptr;
    QLabel *modeLabel = nullptr;
    QLabel *colorLabel = nullptr;
    QLabel *pickerLabel = nullptr;
    QGraphicsOpacityEffect *leftOpacity;
    QGraphicsOpacityEffect *rightOpacity;
    QSequentialAnimationGroup *appearance;
    // Children of the mouse picture, not of this page.
    QPointer<LightStripView> stripView;
    QPointer<QLabel> previewCaption;
};

#endif
