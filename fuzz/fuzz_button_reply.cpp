// The button-assignment reply (0xB0) and, for a macro, the macro-event replies (0xF0), shown by the buttons
// page when the user selects a mouse button. Reading an assignment must never write one.
#include "fuzzsupport.h"

#include "buttons/assignmentcodec.h"
#include "buttons/btn_dialog.h"
#include "buttons/buttons_widget.h"
#include "buttons/micro_widget.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QListWidget>

#include <fuzzer/FuzzedDataProvider.h>

namespace {

buttons_Widget *page = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startHeadlessApplication(argc, argv);
    FuzzDevice::install();
    page = new buttons_Widget(fuzzMouse());
    page->resize(1200, 750);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int buttonId = input.ConsumeIntegralInRange(buttons_Widget::FirstButtonId, buttons_Widget::LastButtonId);
    const std::string assignment = input.ConsumeBytesAsString(ControlReplySize);
    const std::string macroReplies = input.ConsumeRemainingBytesAsString();
    // Both reads of a click (toggle, then click) get the same assignment.
    FuzzDevice::script(QByteArray::fromStdString(assignment + assignment), QByteArray::fromStdString(macroReplies));

    page->buttonGroup->button(buttonId)->click();
    deliverAnswers();

    for (const QByteArray &command : FuzzDevice::controlWrites())
        fuzzCheck(quint8(command.at(0)) == DeviceCommand::ReadButton, "only assignment queries on control");
    for (const QByteArray &command : FuzzDevice::configWrites()) {
        fuzzCheck(quint8(command.at(0)) == DeviceCommand::ReadMacro, "only macro reads on config");
        fuzzCheck(quint8(command.at(2)) >= 1 && quint8(command.at(2)) <= MacroChunkEvents, "chunks of 1..14");
    }
    if (assignment.size() == size_t(ControlReplySize)) {
        const ButtonAssignment read = ButtonAssignment::fromReply(reinterpret_cast<const quint8 *>(assignment.data()));
        if (read.funcType == FuncType::Macro) {
            const micro_Widget *recorder = page->dialog->recorder;
            const int events = recorder->events.size();
            fuzzCheck(events == 0 || events == read.macroEventCount(), "the macro has the announced length");
            // With delays, a delay row lies between each two events.
            const int delayRows = recorder->record_delay && events > 0 ? events - 1 : 0;
            fuzzCheck(recorder->list->count() == events + delayRows, "every event is listed");
        }
    }
    page->hideButtonDialog();
    return 0;
}
