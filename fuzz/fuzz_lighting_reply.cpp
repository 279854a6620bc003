// The lighting reply (0xA0) shown on the lighting page, as refreshPages does after a plug-in.
#include "fuzzsupport.h"

#include "device/devicesettings.h"
#include "lighting/colorpicker.h"
#include "lighting/leds_widget.h"
#include "lighting/lightingcommand.h"
#include "lighting/usercolorsettings.h"

#include <QButtonGroup>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstring>

namespace {

leds_Widget *page = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startHeadlessApplication(argc, argv);
    static QTemporaryDir colourFolder;
    setUserColorFile(colourFolder.filePath(QStringLiteral("user_color.ini")));
    FuzzDevice::install();
    page = new leds_Widget(fuzzMouse());
    page->resize(1200, 750);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DeviceSettings settings;
    std::memcpy(settings.lighting, data, std::min(size, sizeof settings.lighting));
    FuzzDevice::script({}, {});

    page->showDeviceLighting(settings);

    fuzzCheck(FuzzDevice::controlWrites().isEmpty(), "showing the mouse's lighting sends nothing back");
    const LightingState state = lightingStateOf(settings.lighting);
    fuzzCheck(page->modeGroup->checkedId() == state.modeButton, "the mode button of the reply is checked");
    const QColor shown = page->colorPicker->currentColor();
    fuzzCheck(shown == QColor(settings.lighting[8], settings.lighting[9], settings.lighting[10]),
              "the picker holds the reply's colour");
    fuzzCheck(page->hexEdit->text() == shown.name().mid(1).toUpper(), "the hex edit shows the picker's colour");

    QImage frame(page->colorPicker->size(), QImage::Format_ARGB32_Premultiplied);
    page->colorPicker->render(&frame);
    return 0;
}
