#include "buttons/micro_widget.h"

#include "buttons/keytables.h"
#include "buttons/macroeditdialog.h"
#include "platform/keyboardcapture.h"
#include "style/style.h"

#include <QEvent>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

const QString listStyle = QStringLiteral(
    "QListWidget{border:1px solid rgba(255,255,255,0.14);border-radius:2px;background-color:rgba(0,0,0,0.34);"
    "padding:4px;font:12px;color:rgba(255,255,255,0.7);outline:none;}"
    "QListWidget::item{padding:4px;border:none;}"
    "QListWidget::item:selected{background-color:rgba(255,255,255,0.08);color:rgba(255,255,255,0.9);}"
    "QScrollBar:vertical{width:15px;background:transparent;margin:0px;}"
    "QScrollBar::handle:vertical{background:rgba(255,255,255,0.1);margin:0px 6px;border-radius:1px;"
    "min-height:20px;}"
    "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;margin:0px 7px;}"
    "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;border:none;}");

} // namespace

micro_Widget::micro_Widget(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(304, 200);

    list = new QListWidget(this);
    list->setGeometry(0, 0, 192, 194);
    list->setStyleSheet(listStyle);
    list->setIconSize(QSize(16, 16));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    startButton = new QPushButton(this);
    startButton->setGeometry(207, 55, 90, 26);
    startButton->setStyleSheet(Style::pressButton);

    saveButton = new QPushButton(this);
    saveButton->setGeometry(207, 89, 90, 26);
    saveButton->setStyleSheet(Style::pressButton);

    delayOption = new QRadioButton(this);
    // Within the page's 304 pixels, with room for "Record delays".
    delayOption->setGeometry(203, 123, 101, 16);
    delayOption->setStyleSheet(Style::listEntry + QStringLiteral("QRadioButton{spacing:8px;}"));
    // A single radio button that the user can also switch off again.
    delayOption->setAutoExclusive(false);

    editButton = new QPushButton(this);
    editButton->setGeometry(207, 147, 90, 26);
    editButton->setStyleSheet(Style::pressButton);
    editDialog = new MacroEditDialog(this);

    capture = new KeyboardCapture(this);
    connect(capture, &KeyboardCapture::keyMessage, this, &micro_Widget::takeKey);
    connect(startButton, &QPushButton::clicked, this, &micro_Widget::start_record);
    connect(editButton, &QPushButton::clicked, this, &micro_Widget::edit_macro);
    connect(editDialog, &MacroEditDialog::saved, this, &micro_Widget::takeEditedMacro);
    list->installEventFilter(this);
    retranslateUi();
}

void micro_Widget::retranslateUi()
{
    startButton->setText(tracker.recording() ? tr("停止录制") : tr("启动录制"));
    saveButton->setText(tr("保存"));
    delayOption->setText(tr("记录延迟"));
    editButton->setText(tr("编辑"));
    list->setAccessibleName(tr("宏事件"));
    showSaveState();
    if (!events.isEmpty()) {
        const int row = list->currentRow();
        show_records_list(record_delay);
        list->setCurrentRow(row);
    }
}

void micro_Widget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void micro_Widget::start_record()
{
    if (tracker.recording()) {
        stop_record();
        return;
    }
    list->clear();
    events.clear();
    record_delay = delayOption->isChecked();
    delayOption->setEnabled(false);
    editButton->setEnabled(false);
    startButton->setText(tr("停止录制"));

    tracker.start();
    showSaveState();
    event_timer.start();
    list->setFocus(Qt::OtherFocusReason);
    capture->start(list);
}

void micro_Widget::takeKey(unsigned message, quint8 vk)
{
    // Volume and media keys: the mouse has no code for them.
    if (!hasUsage(vk))
        return;
    if (const auto key = tracker.apply(message, vk))
        record_keys(key->vk, key->up);
}

void micro_Widget::record_keys(quint8 vkey_code, bool press)
{
    quint16 delay = 0;
    if (record_delay) {
        const qint64 elapsed = event_timer.restart();
        if (!events.isEmpty())
            delay = macroDelay(elapsed);
    }
    micro_Event event;
    event.usage = vk_to_usage(vkey_code);
    event.up = press ? 1 : 0;
    event.delay_ms = delay;
    events.append(event);
    show_records_list(record_delay);
    if (events.size() == MaxMacroEvents)
        stop_record();
}

void micro_Widget::stop_record()
{
    capture->stop();
    tracker.stop();
    delayOption->setEnabled(true);
    editButton->setEnabled(true);
    startButton->setText(tr("启动录制"));
    showSaveState();
}

void micro_Widget::showSaveState()
{
    const bool empty = events.isEmpty();
    saveButton->setEnabled(!recording() && !empty);
    // Disabled buttons still show their tips.
    const QString why = empty ? tr("没有可保存的事件：要清除这个按键，请在功能键中选择“禁用”") : QString();
    saveButton->setToolTip(why);
    saveButton->setAccessibleDescription(why);
}

void micro_Widget::clearMacro()
{
    if (recording())
        stop_record();
    events.clear();
    record_delay = false;
    list->clear();
    showSaveState();
}

void micro_Widget::closeEditor()
{
    editDialog->closeWithoutAsking();
}

void micro_Widget::hideEvent(QHideEvent *event)
{
    // Hidden with the button dialog: the editor belongs to the button whose dialog it was opened from.
    closeEditor();
    QWidget::hideEvent(event);
}

void micro_Widget::edit_macro()
{
    editDialog->edit(events, record_delay, buttonId);
    const QWidget *dialog = window();
    const QWidget *program = dialog->parentWidget() ? dialog->parentWidget()->window() : dialog;
    QRect place = editDialog->rect();
    place.moveCenter(program->geometry().center());
    if (const QScreen *screen = program->screen()) {
        const QRect room = screen->availableGeometry();
        place.moveLeft(qBound(room.left(), place.left(), room.right() + 1 - place.width()));
        place.moveTop(qBound(room.top(), place.top(), room.bottom() + 1 - place.height()));
    }
    editDialog->move(place.topLeft());
    editDialog->show();
}

void micro_Widget::takeEditedMacro(const QVector<micro_Event> &edited, bool recordDelay)
{
    events = edited;
    record_delay = recordDelay;
    show_records_list(record_delay);
    emit macroEdited();
}

void micro_Widget::show_records_list(bool show_delay)
{
    const QIcon keyUp(QStringLiteral(":/img/keyup.png"));
    const QIcon keyDown(QStringLiteral(":/img/keydown.png"));
    const QIcon timer(QStringLiteral(":/img/timer.png"));

    list->clear();
    for (int i = 0; i < events.size(); ++i) {
        const micro_Event &event = events.at(i);
        list->addItem(new QListWidgetItem(event.up == 1 ? keyUp : keyDown, usageName(event.usage)));
        if (show_delay && i + 1 < events.size()) {
            list->addItem(new QListWidgetItem(
                timer, QString::number(events.at(i + 1).delay_ms) + tr(" 毫秒延迟")));
        }
    }
    list->setCurrentRow(list->count() - 1);
    showSaveState();
}

bool micro_Widget::eventFilter(QObject *watched, QEvent *event)
{
    // Hidden with the dialog or by a page switch: the recording ends whichever widget has the focus (the start
    // button keeps it when a press on it is released elsewhere).
    if (watched == list && event->type() == QEvent::Hide && recording())
        stop_record();
    if (watched == list && event->type() == QEvent::FocusOut) {
        // Clicking the start button while recording stops the recording through start_record.
        if (!startButton->hasFocus())
            stop_record();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
