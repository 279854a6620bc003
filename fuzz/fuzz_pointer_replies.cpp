// The DPI (0xC2) and report-rate (0xC4) replies shown on the pointer page, the DPI poll's reply, and the DPI
// query made when the user picks a level count, whose current level goes back to the mouse.
#include "fuzzsupport.h"

#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "pointer/dpicommand.h"
#include "pointer/dpileft.h"
#include "pointer/pointer_widget.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QSlider>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

namespace {

pointer_Widget *page = nullptr;

void checkSlider(const QSlider *slider, const QLabel *label)
{
    fuzzCheck(slider->value() >= Dpi::MinValue && slider->value() <= Dpi::MaxValue, "DPI sliders stay in range");
    fuzzCheck(label->text() == QString::number(Dpi::dpiOf(slider->value())), "the label shows the slider's DPI");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startHeadlessApplication(argc, argv);
    FuzzDevice::install();
    page = new pointer_Widget(fuzzMouse());
    page->resize(1200, 750);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    DeviceSettings settings;
    const std::vector<uint8_t> dpi = input.ConsumeBytes<uint8_t>(sizeof settings.dpi);
    std::copy(dpi.begin(), dpi.end(), settings.dpi);
    const std::vector<uint8_t> rate = input.ConsumeBytes<uint8_t>(sizeof settings.reportRate);
    std::copy(rate.begin(), rate.end(), settings.reportRate);
    const int levelCountButton = input.ConsumeIntegralInRange(0, Dpi::LevelCount - 1);
    const std::string pollReplies = input.ConsumeRemainingBytesAsString();
    FuzzDevice::script(QByteArray::fromStdString(pollReplies), {});

    page->showDeviceDpi(settings);
    fuzzCheck(FuzzDevice::controlWrites().isEmpty(), "showing the mouse's DPI state sends nothing back");
    for (int i = 0; i < Dpi::LevelCount; ++i)
        checkSlider(page->levelEditor->levelSlider[i], page->levelEditor->levelValueLabel[i]);
    checkSlider(page->aimSlider, page->aimValueLabel);
    if (Dpi::isReportRateCode(settings.reportRate[3]))
        fuzzCheck(page->reportRateGroup->checkedId() == settings.reportRate[3], "the reply's rate is checked");

    readDpiState(deviceSettings);
    page->showCurrentLevel(deviceSettings.currentDpiLevel);

    // Picking a level count asks the mouse for its current level and sends it back within the new count.
    QAbstractButton *countButton = page->levelEditor->levelCountGroup->button(levelCountButton);
    if (countButton->isChecked())
        return 0;
    FuzzDevice::script(QByteArray::fromStdString(pollReplies), {});
    countButton->click();
    deliverAnswers();
    const QList<QByteArray> &writes = FuzzDevice::controlWrites();
    fuzzCheck(!writes.isEmpty() && quint8(writes.last().at(0)) == DeviceCommand::SetDpi, "a DPI command is sent");
    const QByteArray &command = writes.last();
    fuzzCheck(quint8(command.at(8)) == levelCountButton, "the command carries the chosen count");
    fuzzCheck(quint8(command.at(6)) <= levelCountButton, "the current level lies within the chosen count");
    for (int i = 1; i <= Dpi::LevelCount; ++i)
        fuzzCheck(quint8(command.at(i)) >= Dpi::MinValue && quint8(command.at(i)) <= Dpi::MaxValue,
                  "the command's levels are valid DPI values");
    return 0;
}
