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

QString ProfileDevice::write(const MouseProfile &profile)
{
    qDebug() << "write profile";
    QString refused;
    for (const ButtonProfile &button : profile.buttons) {
        if (button.isCustomCombination()) {
            writeButtonCombination(button.button, button.modifiers, button.keyUsage);
        } else if (button.funcType == FuncType::Macro) {
            if (!writeButtonMacro(button.button, button.funcId != 0, button.events) && refused.isEmpty())
                refused = tr("鼠标拒绝了按键 %1 的宏的写入").arg(button.button);
        } else {
            writeButtonFunction(button.button, button.funcType, button.funcId);
        }
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
    return refused;
}

namespace {

// Writes `profile` and reads it back; what failed, or an empty text when the mouse holds it.
QString writeAndCompare(const MouseProfile &profile)
{
    const QString refused = ProfileDevice::write(profile);
    if (!refused.isEmpty())
        return refused;
    QString readError;
    const std::optional<MouseProfile> written = ProfileDevice::read(&readError);
    if (!written)
        return ProfileDevice::tr("写入后读回失败：%1").arg(readError);
    const QString difference = ProfileFormat::firstDifference(profile, *written);
    if (!difference.isEmpty())
        return ProfileDevice::tr("写入后读回的设置与写入的不同：%1").arg(difference);
    return QString();
}

} // namespace

ProfileWriteResult ProfileDevice::writeAndVerify(const MouseProfile &profile, const std::function<bool()> &mayWrite)
{
    ProfileWriteResult result;
    QString readError;
    // What to put back should the import go wrong half-way.
    const std::optional<MouseProfile> before = read(&readError);
    if (!before) {
        result.outcome = ProfileWriteResult::NotWritten;
        result.failure = tr("写入前读取鼠标失败，未写入任何设置：%1").arg(readError);
        return result;
    }
    if (mayWrite && !mayWrite()) {
        result.outcome = ProfileWriteResult::NotWritten;
        result.failure = tr("导入已取消，未写入任何设置");
        return result;
    }
    result.failure = writeAndCompare(profile);
    if (result.failure.isEmpty())
        return result;
    qDebug() << "profile not taken, writing the earlier settings back:" << result.failure;
    result.restoreFailure = writeAndCompare(*before);
    result.outcome = result.restoreFailure.isEmpty() ? ProfileWriteResult::Restored : ProfileWriteResult::NotRestored;
    if (!result.restoreFailure.isEmpty())
        qDebug() << "earlier settings not restored:" << result.restoreFailure;
    return result;
}

QString ProfileDevice::describe(const ProfileWriteResult &result)
{
    switch (result.outcome) {
    case ProfileWriteResult::Written:
        break;
    case ProfileWriteResult::NotWritten:
        return result.failure;
    case ProfileWriteResult::Restored:
        return tr("%1。鼠标已恢复为导入前的设置").arg(result.failure);
    case ProfileWriteResult::NotRestored:
        return tr("%1。恢复导入前的设置也失败了（%2），鼠标上的设置不完整：请重新导入")
            .arg(result.failure, result.restoreFailure);
    }
    return QString();
}

MouseLink::Job ProfileDevice::writeJob(const MouseProfile &profile)
{
    return [profile](DeviceContext &) { return QVariant::fromValue(writeAndVerify(profile)); };
}
