// The program's dark palette and the style sheets shared by its widgets.
#ifndef STYLE_H
#define STYLE_H

#include <QColor>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QString>

class QGraphicsOpacityEffect;

namespace Style {

inline const QColor accent { 0x2b, 0xac, 0x39 };
inline const QString accentName = QStringLiteral("#2bac39");

// 12 px text, white 0.7 (0.3 when disabled), transparent, no margin.
inline const QString label = QStringLiteral(
    "QLabel{background-color:transparent;margin:0px;font:12px;color:rgba(255,255,255,0.7);}"
    "QLabel:disabled{color:rgba(255,255,255,0.3);}");

// The label style in the accent colour (used to highlight the current DPI level, for example).
inline const QString accentLabel = QStringLiteral(
    "QLabel{background-color:transparent;margin:0px;font:12px;color:#2bac39;}"
    "QLabel:disabled{color:rgba(255,255,255,0.3);}");

inline const QString checkableButton = QStringLiteral(
    "QPushButton{border:1px solid rgba(255,255,255,0.1);border-radius:2px;background-color:transparent;"
    "font:12px;color:rgba(255,255,255,0.7);text-align:center;}"
    "QPushButton:checked{border:none;background-color:#2bac39;color:white;}"
    "QPushButton:hover{border:1px solid rgba(255,255,255,0.2);}"
    "QPushButton:checked:hover{border:none;}"
    "QPushButton:focus{border:1px solid rgba(255,255,255,0.6);}"
    "QPushButton:checked:focus{border:1px solid white;}");

inline const QString pressButton = QStringLiteral(
    "QPushButton{border:1px solid rgba(255,255,255,0.1);border-radius:2px;background-color:transparent;"
    "font:12px;color:rgba(255,255,255,0.7);text-align:center;}"
    "QPushButton:pressed{background-color:#2bac39;color:white;}"
    "QPushButton:hover{border:1px solid rgba(255,255,255,0.2);}"
    "QPushButton:focus{border:1px solid rgba(255,255,255,0.6);}"
    "QPushButton:disabled{border:1px solid rgba(255,255,255,0.1);color:rgba(255,255,255,0.3);}");

inline const QString lineEdit = QStringLiteral(
    "QLineEdit{border-radius:2px;border:1px solid rgba(255,255,255,0.3);background-color:rgba(0,0,0,0.34);"
    "font:12px;color:rgba(255,255,255,0.7);}"
    "QLineEdit:disabled{border:1px solid rgba(255,255,255,0.14);color:rgba(255,255,255,0.3);}"
    "QLineEdit:hover,QLineEdit:focus{border:1px solid #2bac39;}");

// The keyboard focus on a button drawn only as a picture.
inline const QString pictureButtonFocus = QStringLiteral("QPushButton:focus{border:1px solid rgba(255,255,255,0.6);}");

inline const QString slider = QStringLiteral(
    "QSlider{background:transparent;}"
    "QSlider::groove:horizontal{height:4px;background:transparent;}"
    "QSlider::handle:horizontal{background:rgba(255,255,255,0.7);width:10px;margin:-3px 0px;border-radius:2px;}"
    "QSlider::handle:horizontal:focus{background:white;}"
    "QSlider::handle:horizontal:disabled{background:rgba(255,255,255,0.14);}"
    "QSlider::sub-page:horizontal{background:#2bac39;}"
    "QSlider::add-page:horizontal{background:rgba(255,255,255,0.08);}"
    "QSlider::sub-page:horizontal:disabled{background:rgba(255,255,255,0.08);}"
    "QSlider::add-page:horizontal:disabled{background:rgba(255,255,255,0.08);}");

inline const QString listEntry = QStringLiteral(
    "QRadioButton{spacing:12px;font:12px;color:rgba(255,255,255,0.7);}"
    "QRadioButton:checked{color:#2bac39;}"
    "QRadioButton::indicator{width:16px;height:16px;}"
    "QRadioButton::indicator:checked{image:url(:/img/button_selected.png);}"
    "QRadioButton::indicator:unchecked{image:url(:/img/button.png);}");

inline const QString scrollArea = QStringLiteral(
    "QScrollArea{background:transparent;border:none;}"
    "QScrollArea > QWidget > QWidget{background:transparent;}"
    "QScrollBar:vertical{width:15px;background:transparent;margin:0px;}"
    "QScrollBar::handle:vertical{background:white;margin:0px 6px;border-radius:1px;min-height:20px;}"
    "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:rgba(255,255,255,0.14);"
    "margin:0px 7px;}"
    "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;border:none;}");

// Pop-up bodies and their title strip.
inline const QString popupBody = QStringLiteral("background-color:rgba(45,46,51,98%);border-radius:2px");
inline const QString popupTitle = QStringLiteral(
    "background-color:#2bac39;border-top-left-radius:2px;border-top-right-radius:2px;font:12px;color:#ffffff");

// A picture of :/img/ for the screen: on a scaled screen drawn from its @2x version (which QPixmap alone does
// not pick), at the picture's own size in window pixels.
QPixmap picture(const QString &path);

// The smallest rectangle holding every pixel of `image` that is not fully transparent; empty when there is none.
QRect opaqueBounds(const QImage &image);

// Shows a picture of :/img/ on `label`, which has the picture's size, without the picture's fully transparent
// margins: they would cost memory, and blending on every repaint. The label draws the rest where it stood in
// the whole picture. A screen scaled by a fraction (150 %) gets the whole picture, which has no such place.
void showPicture(QLabel *label, const QString &path);

// While it lives, the pictures of :/img/ it names are decoded, and their margins trimmed, on threads of their
// own, so that the window's construction finds them ready; showPicture() takes each one once. It is made before
// the application object, on the main thread, and decodes the pictures at 100 %: the screen's scale is not known
// yet. matchScreen(), once the application object exists, decodes the @2x versions too on a screen at 200 %.
// The decoding uses Qt's shared thread pool, which stops with the application object: clear() waits for what
// is left untaken and drops it.
class PreloadedPictures
{
public:
    explicit PreloadedPictures(const QStringList &paths);
    ~PreloadedPictures() { clear(); }
    void matchScreen();
    void clear();
    PreloadedPictures(const PreloadedPictures &) = delete;
    PreloadedPictures &operator=(const PreloadedPictures &) = delete;

private:
    void start(int scale);
    const QStringList paths;
};

// An opacity effect set on `widget` that is on only while the widget is partly shown: Qt draws such an effect
// through a pixmap of the widget's size and keeps the last one, and at full opacity it is not needed.
QGraphicsOpacityEffect *fadeEffect(QWidget *widget, qreal opacity);

// Text boxes are laid out exactly as tall as their font, which clips the descenders of Latin letters (g, p, y).
// Grows such a box evenly about its centre line, so the text stays where it was and is drawn whole.
inline QRect textBox(const QRect &box, int fontPx = 12)
{
    if (box.height() != fontPx)
        return box;
    const int margin = (fontPx + 3) / 4;
    return box.adjusted(0, -margin, 0, margin);
}

// A label in the shared label style, placed on its parent.
inline QLabel *makeLabel(const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *widget = new QLabel(text, parent);
    widget->setGeometry(textBox(geometry));
    widget->setStyleSheet(label);
    return widget;
}

} // namespace Style

#endif
