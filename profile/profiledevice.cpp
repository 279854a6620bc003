#include "profile/profiledevice.h"

#include "buttons/buttondevice.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "lighting/lightingcommand.h"
#include "profile/profileformat.h"

#include <QColor>
#include <QDebug>

std::optional<MouseProfile> ProfileDevice::read(QString *error)
{
    qDebug() << "read profile";
    MouseProfile profile;
    DeviceSettings settings;
    if (!readSettingsBlocks(settings)) {
        *error = tr("鼠标没有应答灯光、DPI 或报告率的读取");
        return std::nullopt;
    }
    if (!readFirmwareVersion(settings)) {
        *error = tr("鼠标没有应答固件版本的读取");
        return std::nullopt;
    }
    profile.takeSettings(settings);

    for (int i = 0; i < MouseProfile::ButtonCount; ++i) {
        const quint8 id = quint8(MouseProfile::FirstButton + i);
        if (!readButtonAssignment(id)) {
            *error = tr("鼠标没有应答按键 %1 的读取").arg(id);
            return std::nullopt;
        }
        const ButtonAssignment assignment = ButtonAssignment::fromReply(deviceContext.controlReply);
        ButtonProfile &button = profile.buttons[size_t(i)];
        button = ButtonProfile::fromAssignment(id, assignment);
        if (button.funcType != FuncType::Macro)
            continue;
        const std::optional<QVector<micro_Event>> events = readMacroEvents(id, assignment.macroEventCount());
        if (!events) {
            *error = tr("鼠标没有应答按键 %1 的宏的读取").arg(id);
            return std::nullopt;
        }
        button.events = *events;
    }
    return profile;
}

void ProfileDevice::write(const MouseProfile &profile)
{
    qDebug() << "write profile";
    for (const ButtonProfile &button : profile.buttons) {
        if (button.isCustomCombination())
            writeButtonCombination(button.button, button.modifiers, button.keyUsage);
        else if (button.funcType == FuncType::Macro)
            writeButtonMacro(button.button, button.funcId != 0, button.events);
        else
            writeButtonFunction(button.button, button.funcType, button.funcId);
    }

    quint8 *buffer = deviceContext.commandBuffer;
    fillLightingCommand(buffer, profile.lightingMode, profile.lightingSpeed,
                        QColor(profile.red, profile.green, profile.blue));
    sendCommandBuffer();

    DpiCommand dpi;
    for (int i = 0; i < Dpi::LevelCount; ++i)
        dpi.levels[i] = profile.dpiLevels[size_t(i)];
    dpi.currentLevel = quint8(profile.currentLevel);
    dpi.aim = profile.aim;
    dpi.maxLevel = quint8(profile.levelCount - 1);
    dpi.writeTo(buffer);
    sendCommandBuffer();

    writeReportRateCommand(buffer, profile.reportRateCode);
    sendCommandBuffer();
}

bool ProfileDevice::writeAndVerify(const MouseProfile &profile, QString *error)
{
    write(profile);
    QString readError;
    const std::optional<MouseProfile> written = read(&readError);
    if (!written) {
        *error = tr("写入后读回失败：%1").arg(readError);
        return false;
    }
    const QString difference = ProfileFormat::firstDifference(profile, *written);
    if (!difference.isEmpty()) {
        *error = tr("写入后读回的设置与文件不同：%1").arg(difference);
        return false;
    }
    return true;
}
