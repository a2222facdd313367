// KMRSerialPortList: COM names with their devices and the serial devices present.
#include "KMRSerialPortList.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

QString KMRSerialPortList::DeviceOfComPort(int number_i)
{
    const QByteArray variable = QStringLiteral("KMR_COM%1").arg(number_i).toLatin1();
    const char* mapped = std::getenv(variable.constData());
    if (mapped != nullptr && *mapped != '\0')
        return QString::fromLocal8Bit(mapped);
    return QStringLiteral("/dev/ttyS%1").arg(number_i - 1);
}

QVector<KMRSerialPortList::Entry> KMRSerialPortList::Entries()
{
    QVector<Entry> entries;
    for (int number = 1; number <= 12; ++number)
    {
        const QString name = QStringLiteral("COM%1").arg(number);
        entries.push_back({QStringLiteral("%1 (%2)").arg(name, DeviceOfComPort(number)), name});
    }
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& file : dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                             QDir::System | QDir::Files, QDir::Name))
    {
        const QString path = dev.filePath(file);
        entries.push_back({path, path});
    }
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& info : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        entries.push_back({info.filePath(), info.filePath()});
    return entries;
}
