// The macro recorder, third page of the button dialog: records every key going down and up, with or without
// the delays between them, while taking the whole keyboard, and shows the events as a list. "编辑" opens the
// recorded macro in an editor window of its own.
#ifndef MICRO_WIDGET_H
#define MICRO_WIDGET_H

#include "buttons/assignmentcodec.h"
#include "buttons/keyhook.h"

#include <QElapsedTimer>
#include <QVector>
#include <QWidget>

class KeyboardCapture;
class MacroEditDialog;
class QListWidget;
class QPushButton;
class QRadioButton;

class micro_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit micro_Widget(QWidget *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;
    bool recording() const { return tracker.recording(); }
    // Ends a recording and forgets the macro and its delay setting.
    void clearMacro();
    // Closes the editor window without asking: its button's dialog or the mouse went away, and unsaved edits
    // with them.
    void closeEditor();
    // The mouse button whose macro this is, named by the editor window.
    void setButton(int id) { buttonId = id; }
    void retranslateUi();

    QListWidget *list = nullptr;
    QPushButton *startButton = nullptr;
    QPushButton *saveButton = nullptr;
    QRadioButton *delayOption = nullptr;
    QPushButton *editButton = nullptr;
    MacroEditDialog *editDialog = nullptr;

    bool record_delay = false;
    QElapsedTimer event_timer;
    QVector<micro_Event> events;

    KeyboardCapture *capture = nullptr;

public slots:
    // Starts a recording, or stops the one that runs.
    void start_record();
    void record_keys(quint8 vkey_code, bool press);
    void stop_record();
    void show_records_list(bool show_delay);
    // Opens the macro in the editor window, over the middle of the program's window.
    void edit_macro();

signals:
    // The editor window saved this macro: it is to be sent.
    void macroEdited();

protected:
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void takeKey(unsigned message, quint8 vk);
    void takeEditedMacro(const QVector<micro_Event> &edited, bool recordDelay);

private:
    // Save sends the macro: not while recording, and never an empty one.
    void showSaveState();

    MacroKeyTracker tracker;
    int buttonId = 0;
};

#endif
