#include "device/devicecontext.h"

DeviceContext deviceContext;

const QStringList &deviceEntryPointNames()
{
    static const QStringList names = {
        QStringLiteral("OpenDevice"),       QStringLiteral("CloseDevice"),
        QStringLiteral("ReadControl"),      QStringLiteral("WrtieControl"),
        QStringLiteral("ReadData"),         QStringLiteral("OpenConfigDevice"),
        QStringLiteral("CloseConfigDevice"), QStringLiteral("ReadConfig"),
        QStringLiteral("WrtieConfig"),      QStringLiteral("ReadConfigData"),
    };
    return names;
}

QString resolveEntryPoints(DeviceContext &context)
{
    QFunctionPointer found[10] = {};
    const QStringList &names = deviceEntryPointNames();
    for (int i = 0; i < names.size(); ++i) {
        found[i] = context.library.resolve(names.at(i).toLatin1().constData());
        if (!found[i])
            return names.at(i);
    }
    context.OpenDevice = reinterpret_cast<OpenDeviceFn>(found[0]);
    context.CloseDevice = reinterpret_cast<CloseDeviceFn>(found[1]);
    context.ReadControl = reinterpret_cast<ReadControlFn>(found[2]);
    context.WrtieControl = reinterpret_cast<WrtieControlFn>(found[3]);
    context.ReadData = reinterpret_cast<ReadDataFn>(found[4]);
    context.OpenConfigDevice = reinterpret_cast<OpenConfigDeviceFn>(found[5]);
    context.CloseConfigDevice = reinterpret_cast<CloseConfigDeviceFn>(found[6]);
    context.ReadConfig = reinterpret_cast<ReadConfigFn>(found[7]);
    context.WrtieConfig = reinterpret_cast<WrtieConfigFn>(found[8]);
    context.ReadConfigData = reinterpret_cast<ReadConfigDataFn>(found[9]);
    return QString();
}
