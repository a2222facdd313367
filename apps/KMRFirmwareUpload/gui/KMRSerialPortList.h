// KMRSerialPortList: the entries of the main dialog's serial port list.
#pragma once

#include <QString>
#include <QVector>

// COM1..COM12, each shown with the device it maps to (KMR_COMn, else /dev/ttyS(n-1)), then
// the USB and ACM adapters and the stable by-id names found on this machine.
class KMRSerialPortList
{
public:
    struct Entry
    {
        QString m_strText; // shown in the list
        QString m_strName; // handed to the serial factory
    };

    static QVector<Entry> Entries();
    static QString DeviceOfComPort(int number_i);
};
