// The macro editor window, opened from the macro page: the events of the macro with their delays, and the
// controls that change them without recording again. It shows a MacroEditor and forwards the user's actions to
// it; "保存" hands the edited macro to the macro page, which sends it as it sends a recorded one.
#ifndef MACROEDITDIALOG_H
#define MACROEDITDIALOG_H

#include "buttons/keyhook.h"
#include "buttons/macroeditor.h"

#include <QDialog>

#include <optional>

class KeyboardCapture;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class MacroEditDialog : public QDialog
{
    Q_OBJECT

public:
    enum Column { NumberColumn, KeyColumn, ActionColumn, DelayColumn };

    explicit MacroEditDialog(QWidget *parent = nullptr);

    // Starts editing the macro of mouse button `button` with an empty history.
    void edit(const QVector<micro_Event> &events, bool recordDelay, int button);
    // Closes without asking about unsaved edits: the button dialog or the mouse went away.
    void closeWithoutAsking();
    // Whether the window asks what to do with unsaved edits (save, discard, or go back to editing).
    bool asking() const { return askingToClose; }
    // The selected events, in ascending order.
    QVector<int> selectedRows() const;
    // Whether the window waits for the key of a stroke to insert (and holds the keyboard for it).
    bool choosingKey() const { return keyTracker.recording(); }
    // Stops waiting for a key and gives the keyboard back.
    void endKeyCapture();
    // The one line that says why a macro cannot be saved.
    static QString faultText(const MacroFault &fault);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void retranslateUi();
    // Closing (Esc, "关闭") with unsaved edits asks first.
    void reject() override;

    MacroEditor *editor = nullptr;

    QLabel *titleLabel = nullptr;
    QTreeWidget *eventList = nullptr;
    QLabel *delayLabel = nullptr;
    QLineEdit *delayField = nullptr;
    QPushButton *setSelectedButton = nullptr;
    QPushButton *setAllButton = nullptr;
    QRadioButton *delayOption = nullptr;
    QPushButton *insertBeforeButton = nullptr;
    QPushButton *insertAfterButton = nullptr;
    // Keys that waiting for a key cannot take (Esc cancels the wait, Tab moves on), inserted from a list.
    QPushButton *insertOtherButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *upButton = nullptr;
    QPushButton *downButton = nullptr;
    QPushButton *undoButton = nullptr;
    QPushButton *redoButton = nullptr;
    QLabel *messageLabel = nullptr;
    QPushButton *backButton = nullptr;
    QPushButton *discardButton = nullptr;
    QPushButton *closeButton = nullptr;
    QPushButton *saveButton = nullptr;

    KeyboardCapture *capture = nullptr;

signals:
    void saved(const QVector<micro_Event> &events, bool recordDelay);

protected:
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private slots:
    void showMacro();
    void showSelection();
    void setSelectedDelays();
    void setAllDelays();
    void chooseKey(bool after);
    void takeKey(unsigned message, quint8 vk);
    void insertOtherKey(quint8 vk);
    void removeSelected();
    void moveSelected(int direction);
    void save();
    void goBack();
    void discard();

private:
    std::optional<int> typedDelay() const;
    bool onlyFirstSelected() const;
    void showTitle();
    void showControls();
    void showMessage();
    // A word on what the last action did or why it was refused; it stays until the next action.
    void tell(const QString &text);

    MacroKeyTracker keyTracker;
    std::optional<quint8> chosenKey;
    QVector<int> insertRows;
    bool insertAfter = false;
    bool justSaved = false;
    bool askingToClose = false;
    int buttonId = 0;
    QString feedback;
};

#endif
