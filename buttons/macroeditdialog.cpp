#include "buttons/macroeditdialog.h"

#include "buttons/keytables.h"
#include "platform/keyboardcapture.h"
#include "style/messageline.h"
#include "style/style.h"

#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int Width = 500;
constexpr int Height = 472;
const QColor warning(0xf2, 0xa9, 0x3b);

constexpr quint8 EscapeVk = 0x1B;
constexpr quint8 TabVk = 0x09;
constexpr quint8 LeftShiftVk = 0xA0;
constexpr quint8 RightShiftVk = 0xA1;
// Keys that waiting for a key does not take (Esc, Tab) or that many keyboards lack.
constexpr quint8 otherKeys[] = { EscapeVk, TabVk, 0x2C, 0x13, 0x91, 0x5D };

const QString listStyle = QStringLiteral(
    "QTreeWidget{border:1px solid rgba(255,255,255,0.14);border-radius:2px;background-color:rgba(0,0,0,0.34);"
    "font:12px;color:rgba(255,255,255,0.7);outline:none;}"
    "QTreeWidget:focus{border:1px solid #2bac39;}"
    "QTreeWidget::item{padding:3px 0px;border:none;}"
    "QTreeWidget::item:selected{background-color:rgba(255,255,255,0.14);color:white;}"
    "QHeaderView{background:transparent;}"
    "QHeaderView::section{background:transparent;border:none;border-bottom:1px solid rgba(255,255,255,0.14);"
    "padding:4px;font:12px;color:rgba(255,255,255,0.5);}"
    "QScrollBar:vertical{width:15px;background:transparent;margin:0px;}"
    "QScrollBar::handle:vertical{background:rgba(255,255,255,0.1);margin:0px 6px;border-radius:1px;"
    "min-height:20px;}"
    "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;margin:0px 7px;}"
    "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;border:none;}");

// The shared button look, with the keyboard focus shown: everything here works from the keyboard.
const QString buttonStyle = Style::pressButton + QStringLiteral("QPushButton:focus{border:1px solid #2bac39;}");
const QString fieldStyle = Style::lineEdit + QStringLiteral("QLineEdit{padding-left:6px;}");
const QString optionStyle = Style::listEntry + QStringLiteral("QRadioButton:focus{color:white;}");
const QString noticeStyle = QStringLiteral("QLabel{background:transparent;font:12px;color:#2bac39;}");
const QString faultStyle = QStringLiteral("QLabel{background:transparent;font:12px;color:#f2a93b;}");
const QString menuStyle
    = QStringLiteral("QMenu{background-color:rgb(45,46,51);border:1px solid rgba(255,255,255,0.14);font:12px;"
                     "color:rgba(255,255,255,0.7);}"
                     "QMenu::item{padding:4px 20px;}"
                     "QMenu::item:selected{background-color:#2bac39;color:white;}");

QPushButton *makeButton(const QRect &geometry, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setGeometry(geometry);
    button->setStyleSheet(buttonStyle);
    return button;
}

} // namespace

MacroEditDialog::MacroEditDialog(QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(Width, Height);
    editor = new MacroEditor(this);

    auto *body = new QLabel(this);
    body->setGeometry(0, 32, Width, Height - 32);
    body->setStyleSheet(QStringLiteral(
        "background-color:rgba(45,46,51,98%);border-bottom-left-radius:2px;border-bottom-right-radius:2px"));
    auto *header = new QLabel(this);
    header->setGeometry(0, 0, Width, 32);
    header->setStyleSheet(
        QStringLiteral("background-color:#2bac39;border-top-left-radius:2px;border-top-right-radius:2px"));
    titleLabel = new QLabel(this);
    titleLabel->setGeometry(0, 0, Width, 32);
    titleLabel->setStyleSheet(QStringLiteral("background-color:transparent;margin-left:20px;font:12px;color:white"));

    // Created in the order of the keyboard focus.
    eventList = new QTreeWidget(this);
    eventList->setGeometry(20, 48, 300, 334);
    eventList->setStyleSheet(listStyle);
    eventList->setColumnCount(4);
    eventList->setRootIsDecorated(false);
    eventList->setUniformRowHeights(true);
    eventList->setIconSize(QSize(16, 16));
    eventList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    eventList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    eventList->header()->setSectionsMovable(false);
    eventList->header()->setStretchLastSection(true);
    eventList->setColumnWidth(NumberColumn, 36);
    eventList->setColumnWidth(KeyColumn, 110);
    eventList->setColumnWidth(ActionColumn, 60);

    constexpr int column = 336;
    constexpr int columnWidth = 144;
    constexpr int half = 68;
    delayLabel = Style::makeLabel(QString(), QRect(column, 50, columnWidth, 12), this);
    delayField = new QLineEdit(this);
    delayField->setGeometry(column, 68, columnWidth, 26);
    delayField->setStyleSheet(fieldStyle);
    // Digits only; a value beyond what the mouse takes is kept and named by the checks.
    delayField->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), delayField));
    setSelectedButton = makeButton(QRect(column, 100, columnWidth, 26), this);
    setAllButton = makeButton(QRect(column, 132, columnWidth, 26), this);
    delayOption = new QRadioButton(this);
    delayOption->setGeometry(column, 168, columnWidth, 16);
    delayOption->setStyleSheet(optionStyle);
    delayOption->setAutoExclusive(false);
    insertBeforeButton = makeButton(QRect(column, 196, columnWidth, 26), this);
    insertAfterButton = makeButton(QRect(column, 228, columnWidth, 26), this);
    insertOtherButton = makeButton(QRect(column, 260, columnWidth, 26), this);
    auto *otherKeyMenu = new QMenu(insertOtherButton);
    otherKeyMenu->setStyleSheet(menuStyle);
    for (quint8 vk : otherKeys) {
        connect(otherKeyMenu->addAction(key_name(vk)), &QAction::triggered, this, [this, vk] { insertOtherKey(vk); });
    }
    insertOtherButton->setMenu(otherKeyMenu);
    deleteButton = makeButton(QRect(column, 292, columnWidth, 26), this);
    upButton = makeButton(QRect(column, 324, half, 26), this);
    downButton = makeButton(QRect(column + columnWidth - half, 324, half, 26), this);
    undoButton = makeButton(QRect(column, 356, half, 26), this);
    redoButton = makeButton(QRect(column + columnWidth - half, 356, half, 26), this);

    messageLabel = new QLabel(this);
    messageLabel->setGeometry(Style::textBox(QRect(20, 394, Width - 40, 12)));
    MessageLine::setUp(messageLabel);
    auto *rule = new QLabel(this);
    rule->setGeometry(20, 418, Width - 40, 1);
    rule->setStyleSheet(QStringLiteral("background-color:rgba(0,0,0,20%)"));
    // Left to right, as the keyboard reaches them; "返回" and "不保存" only while closing asks.
    backButton = makeButton(QRect(Width - 20 - 3 * 90 - 2 * 12, 432, 90, 26), this);
    discardButton = makeButton(QRect(Width - 20 - 2 * 90 - 12, 432, 90, 26), this);
    closeButton = makeButton(QRect(Width - 20 - 2 * 90 - 12, 432, 90, 26), this);
    saveButton = makeButton(QRect(Width - 20 - 90, 432, 90, 26), this);
    backButton->hide();
    discardButton->hide();

    auto *undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    auto *redo = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this);
    auto *redoToo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), this);
    QUndoStack *history = editor->history();
    connect(undo, &QShortcut::activated, history, &QUndoStack::undo);
    connect(redo, &QShortcut::activated, history, &QUndoStack::redo);
    connect(redoToo, &QShortcut::activated, history, &QUndoStack::redo);
    connect(undoButton, &QPushButton::clicked, history, &QUndoStack::undo);
    connect(redoButton, &QPushButton::clicked, history, &QUndoStack::redo);
    // The history moves on only after the edit it records has been shown.
    connect(history, &QUndoStack::indexChanged, this, &MacroEditDialog::showControls);

    capture = new KeyboardCapture(this);
    connect(capture, &KeyboardCapture::keyMessage, this, &MacroEditDialog::takeKey);
    connect(editor, &MacroEditor::changed, this, [this] {
        justSaved = false;
        feedback.clear();
        showMacro();
    });
    connect(eventList, &QTreeWidget::itemSelectionChanged, this, [this] {
        feedback.clear();
        showSelection();
    });
    connect(delayField, &QLineEdit::textChanged, this, &MacroEditDialog::showControls);
    connect(delayField, &QLineEdit::returnPressed, this, [this] {
        setSelectedDelays();
        eventList->setFocus(Qt::OtherFocusReason);
    });
    connect(setSelectedButton, &QPushButton::clicked, this, &MacroEditDialog::setSelectedDelays);
    connect(setAllButton, &QPushButton::clicked, this, &MacroEditDialog::setAllDelays);
    connect(delayOption, &QRadioButton::clicked, editor, &MacroEditor::setRecordDelay);
    connect(insertBeforeButton, &QPushButton::clicked, this, [this] { chooseKey(false); });
    connect(insertAfterButton, &QPushButton::clicked, this, [this] { chooseKey(true); });
    connect(deleteButton, &QPushButton::clicked, this, &MacroEditDialog::removeSelected);
    connect(upButton, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(downButton, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(saveButton, &QPushButton::clicked, this, &MacroEditDialog::save);
    connect(closeButton, &QPushButton::clicked, this, &MacroEditDialog::close);
    connect(backButton, &QPushButton::clicked, this, &MacroEditDialog::goBack);
    connect(discardButton, &QPushButton::clicked, this, &MacroEditDialog::discard);
    eventList->installEventFilter(this);
    retranslateUi();
}

void MacroEditDialog::retranslateUi()
{
    showTitle();
    eventList->setHeaderLabels({ QStringLiteral("#"), tr("按键"), tr("动作"), tr("延迟(毫秒)") });
    delayLabel->setText(tr("延迟(毫秒)"));
    setSelectedButton->setText(tr("用于所选事件"));
    setAllButton->setText(tr("用于全部事件"));
    delayOption->setText(tr("记录延迟"));
    insertBeforeButton->setText(tr("在前面插入按键"));
    insertAfterButton->setText(tr("在后面插入按键"));
    insertOtherButton->setText(tr("插入其他按键"));
    deleteButton->setText(tr("删除"));
    upButton->setText(tr("上移"));
    downButton->setText(tr("下移"));
    undoButton->setText(tr("撤销"));
    redoButton->setText(tr("重做"));
    saveButton->setText(tr("保存"));
    closeButton->setText(tr("关闭"));
    backButton->setText(tr("返回"));
    discardButton->setText(tr("不保存"));

    eventList->setAccessibleName(tr("宏事件"));
    eventList->setAccessibleDescription(
        tr("Delete 删除所选事件，Ctrl+上下方向键移动它们，Enter 修改延迟，Ctrl+Z 撤销，Ctrl+Y 重做"));
    delayField->setAccessibleName(delayLabel->text());
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        button->setAccessibleName(button->text());
    insertOtherButton->setAccessibleDescription(tr("Esc、Tab 等等待按键时不能输入的按键，插入到所选事件之后"));
    showMacro();
}

void MacroEditDialog::showTitle()
{
    const QString title = buttonId > 0 ? tr("编辑宏：按键 %1").arg(buttonId) : tr("编辑宏");
    titleLabel->setText(title);
    // The window's accessible name.
    setWindowTitle(title);
}

void MacroEditDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void MacroEditDialog::edit(const QVector<micro_Event> &events, bool recordDelay, int button)
{
    endKeyCapture();
    justSaved = false;
    askingToClose = false;
    feedback.clear();
    buttonId = button;
    showTitle();
    delayField->clear();
    editor->load(events, recordDelay);
    eventList->setFocus(Qt::OtherFocusReason);
}

void MacroEditDialog::closeWithoutAsking()
{
    askingToClose = false;
    endKeyCapture();
    hide();
}

void MacroEditDialog::reject()
{
    if (choosingKey()) {
        endKeyCapture();
        return;
    }
    if (askingToClose) {
        goBack();
        return;
    }
    if (!editor->modified()) {
        QDialog::reject();
        return;
    }
    askingToClose = true;
    feedback.clear();
    showControls();
    (saveButton->isEnabled() ? saveButton : discardButton)->setFocus(Qt::OtherFocusReason);
}

void MacroEditDialog::goBack()
{
    askingToClose = false;
    showControls();
    eventList->setFocus(Qt::OtherFocusReason);
}

void MacroEditDialog::discard()
{
    askingToClose = false;
    showControls();
    QDialog::reject();
}

QVector<int> MacroEditDialog::selectedRows() const
{
    QVector<int> rows;
    for (const QTreeWidgetItem *item : eventList->selectedItems())
        rows.append(eventList->indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(item)));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void MacroEditDialog::showMacro()
{
    const QVector<int> selected = editor->selection();
    const QIcon keyUp(QStringLiteral(":/img/keyup.png"));
    const QIcon keyDown(QStringLiteral(":/img/keydown.png"));
    const std::optional<MacroFault> fault = editor->check();
    {
        const QSignalBlocker blockList(eventList);
        eventList->clear();
        const QVector<MacroStep> &steps = editor->steps();
        QList<QTreeWidgetItem *> items;
        for (int i = 0; i < steps.size(); ++i) {
            const MacroStep &step = steps.at(i);
            auto *item = new QTreeWidgetItem({ QString::number(i + 1), usageName(step.usage),
                                               step.up ? tr("松开") : tr("按下"), QString::number(step.delayMs) });
            item->setIcon(KeyColumn, step.up ? keyUp : keyDown);
            if (fault && fault->event == i) {
                for (int column = NumberColumn; column <= DelayColumn; ++column)
                    item->setForeground(column, warning);
            }
            items.append(item);
        }
        eventList->addTopLevelItems(items);
        eventList->setColumnHidden(DelayColumn, !editor->recordDelay());
        for (int row : selected) {
            if (row < items.size())
                items.at(row)->setSelected(true);
        }
        const int current = selected.isEmpty() ? 0 : selected.first();
        if (current < items.size()) {
            eventList->setCurrentItem(items.at(current), 0, QItemSelectionModel::NoUpdate);
            eventList->scrollToItem(items.at(current));
        }
    }
    {
        const QSignalBlocker blockOption(delayOption);
        delayOption->setChecked(editor->recordDelay());
    }
    showSelection();
}

void MacroEditDialog::showSelection()
{
    const QVector<int> rows = selectedRows();
    editor->select(rows);
    // The delay the selected events share, as the starting point for changing it.
    if (!rows.isEmpty()) {
        const int delay = editor->steps().at(rows.first()).delayMs;
        const bool shared
            = std::all_of(rows.begin(), rows.end(), [&](int row) { return editor->steps().at(row).delayMs == delay; });
        delayField->setText(shared ? QString::number(delay) : QString());
    }
    showControls();
}

bool MacroEditDialog::onlyFirstSelected() const
{
    return selectedRows() == QVector<int> { 0 };
}

void MacroEditDialog::showControls()
{
    const QVector<int> rows = selectedRows();
    // While closing asks, only its three answers can be used.
    const bool editing = !askingToClose;
    const bool idle = editing && !choosingKey();
    const bool delays = editor->recordDelay();
    const bool typed = typedDelay().has_value();
    eventList->setEnabled(editing);
    delayField->setEnabled(editing && delays);
    // The first event's delay is 0: shown, not changed.
    delayField->setReadOnly(onlyFirstSelected());
    setSelectedButton->setEnabled(idle && delays && typed && !rows.isEmpty() && !onlyFirstSelected());
    setAllButton->setEnabled(idle && delays && typed && editor->steps().size() > 1);
    delayOption->setEnabled(idle);
    insertBeforeButton->setEnabled(idle);
    insertAfterButton->setEnabled(idle);
    insertOtherButton->setEnabled(idle);
    deleteButton->setEnabled(idle && !rows.isEmpty());
    upButton->setEnabled(idle && editor->canMove(rows, -1));
    downButton->setEnabled(idle && editor->canMove(rows, 1));
    undoButton->setEnabled(idle && editor->history()->canUndo());
    redoButton->setEnabled(idle && editor->history()->canRedo());
    saveButton->setEnabled(!choosingKey() && !editor->check());
    closeButton->setVisible(editing);
    backButton->setVisible(askingToClose);
    discardButton->setVisible(askingToClose);
    showMessage();
}

void MacroEditDialog::tell(const QString &text)
{
    feedback = text;
    showMessage();
}

void MacroEditDialog::showMessage()
{
    QString text;
    bool fault = false;
    if (choosingKey()) {
        text = tr("请按下要插入的按键，按 Esc 取消");
    } else if (const std::optional<MacroFault> macroFault = editor->check(); askingToClose && !macroFault) {
        text = tr("宏有未保存的修改：保存、不保存，还是返回编辑？");
    } else if (!feedback.isEmpty()) {
        text = feedback;
    } else if (macroFault) {
        text = faultText(*macroFault);
        fault = true;
    } else if (justSaved) {
        text = tr("已发送到鼠标");
    }
    messageLabel->setStyleSheet(fault ? faultStyle : noticeStyle);
    MessageLine::show(messageLabel, text);
}

QString MacroEditDialog::faultText(const MacroFault &fault)
{
    const int event = fault.event + 1;
    const QString key = usageName(fault.usage);
    switch (fault.kind) {
    case MacroFault::Empty:
        return tr("宏是空的，不能保存：要清除这个按键，请在功能键中选择“禁用”");
    case MacroFault::TooManyEvents:
        return tr("事件 %1：宏最多只能有 %2 个事件").arg(event).arg(MaxMacroEvents);
    case MacroFault::ReleasedBeforePressed:
        return tr("事件 %1：%2 在按下之前被松开").arg(event).arg(key);
    case MacroFault::StillPressed:
        return tr("事件 %1：%2 按下后直到结尾都没有松开").arg(event).arg(key);
    case MacroFault::DelayOutOfRange:
        return tr("事件 %1：延迟 %2 毫秒超出 0 到 %3 毫秒").arg(event).arg(fault.delayMs).arg(MacroEditor::MaxDelayMs);
    }
    return QString();
}

std::optional<int> MacroEditDialog::typedDelay() const
{
    bool ok = false;
    const int delay = delayField->text().toInt(&ok);
    return ok ? std::optional<int>(delay) : std::nullopt;
}

void MacroEditDialog::setSelectedDelays()
{
    const std::optional<int> delay = typedDelay();
    const QVector<int> rows = selectedRows();
    if (!delay || rows.isEmpty())
        return;
    editor->setDelay(rows, *delay);
    if (rows.first() == 0 && *delay != 0)
        tell(tr("第一个事件的延迟总是 0：它之前没有要等的事件"));
}

void MacroEditDialog::setAllDelays()
{
    const std::optional<int> delay = typedDelay();
    if (!delay)
        return;
    editor->setAllDelays(*delay);
    if (*delay != 0)
        tell(tr("第一个事件的延迟总是 0：它之前没有要等的事件"));
}

void MacroEditDialog::removeSelected()
{
    const QVector<int> rows = selectedRows();
    const QVector<int> removed = editor->removal(rows);
    if (!editor->remove(rows))
        return;
    QStringList partners;
    for (int row : removed) {
        if (!rows.contains(row))
            partners << QString::number(row + 1);
    }
    if (!partners.isEmpty())
        tell(tr("同时删除了配对的事件 %1，按键不会只按下或只松开").arg(partners.join(QStringLiteral(", "))));
}

void MacroEditDialog::moveSelected(int direction)
{
    const QVector<int> rows = selectedRows();
    if (rows.isEmpty() || editor->move(rows, direction))
        return;
    if (direction < 0 && rows.first() == 0)
        tell(tr("已在开头，不能再上移"));
    else if (direction > 0 && rows.last() == editor->steps().size() - 1)
        tell(tr("已在结尾，不能再下移"));
    else
        tell(tr("不能移动：按键会在按下之前松开"));
}

void MacroEditDialog::insertOtherKey(quint8 vk)
{
    editor->insertStroke(vk_to_usage(vk), selectedRows(), true);
    eventList->setFocus(Qt::OtherFocusReason);
}

void MacroEditDialog::chooseKey(bool after)
{
    insertAfter = after;
    insertRows = selectedRows();
    chosenKey.reset();
    keyTracker.start();
    // The list keeps the focus while the key is chosen; the capture ends when anything else takes it.
    eventList->setFocus(Qt::OtherFocusReason);
    capture->start(eventList);
    showControls();
}

void MacroEditDialog::takeKey(unsigned message, quint8 vk)
{
    const std::optional<MacroKeyTracker::Key> key = keyTracker.apply(message, vk);
    if (!key)
        return;
    // Esc cancels the wait and Tab moves on, as everywhere else; the list of other keys inserts them.
    if (!key->up && (key->vk == EscapeVk || key->vk == TabVk)) {
        const bool backwards = chosenKey == LeftShiftVk || chosenKey == RightShiftVk;
        endKeyCapture();
        if (key->vk == TabVk)
            focusNextPrevChild(!backwards);
        return;
    }
    if (!key->up && !hasUsage(key->vk)) {
        endKeyCapture();
        tell(tr("鼠标不能发送这个按键：宏里没有音量、媒体和浏览器按键"));
        return;
    }
    if (!key->up && !chosenKey) {
        chosenKey = key->vk;
        return;
    }
    // The stroke is taken when the key comes up again, so that its release reaches no other window either.
    if (key->up && chosenKey == key->vk) {
        // Inserted before the wait ends, so that the line goes from the hint to the edit's outcome directly.
        editor->insertStroke(vk_to_usage(key->vk), insertRows, insertAfter);
        endKeyCapture();
        eventList->setFocus(Qt::OtherFocusReason);
    }
}

void MacroEditDialog::endKeyCapture()
{
    capture->stop();
    const bool wasChoosing = choosingKey();
    keyTracker.stop();
    chosenKey.reset();
    if (wasChoosing)
        showControls();
}

void MacroEditDialog::save()
{
    if (editor->check())
        return;
    emit saved(editor->events(), editor->recordDelay());
    editor->markSaved();
    justSaved = true;
    feedback.clear();
    const bool closing = askingToClose;
    askingToClose = false;
    showControls();
    if (closing)
        QDialog::reject();
}

bool MacroEditDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != eventList)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut && choosingKey()) {
        endKeyCapture();
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
            removeSelected();
            return true;
        }
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && modifiers == Qt::ControlModifier) {
            moveSelected(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
            // The row the keyboard is on counts as chosen when nothing is selected.
            if (eventList->selectedItems().isEmpty() && eventList->currentItem())
                eventList->currentItem()->setSelected(true);
            if (delayField->isEnabled() && !selectedRows().isEmpty()) {
                delayField->setFocus(Qt::OtherFocusReason);
                delayField->selectAll();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MacroEditDialog::mousePressEvent(QMouseEvent *event)
{
    // A click beside the list while a key is awaited cancels the wait. A click outside the window leaves it open,
    // as a window of its own: only "关闭" or Esc closes it, so that no edit is lost by a stray click.
    endKeyCapture();
    if (rect().contains(event->pos()))
        QDialog::mousePressEvent(event);
}

void MacroEditDialog::hideEvent(QHideEvent *event)
{
    endKeyCapture();
    QDialog::hideEvent(event);
}
