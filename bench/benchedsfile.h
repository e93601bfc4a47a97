#pragma once

#include <QByteArray>

// A generated EDS for the benchmarks, of any size with the same shape: a fifth of the
// objects VARs, the rest RECORDs of 8 sub-indices (three in five) or 9 (one in five);
// 5000 objects give 34,000 sub-indices and about 5.4 MB, CR LF line ends.
namespace benchedsfile {

inline void appendVariable(QByteArray &eds, int index, int n)
{
    eds += QByteArray("[") + QByteArray::number(index, 16).toUpper()
           + "]\r\nParameterName=Variable " + QByteArray::number(n)
           + "\r\nObjectType=0x7\r\nDataType=0x0007\r\nAccessType=rw\r\nDefaultValue=0x"
           + QByteArray::number(n, 16).rightJustified(8, '0')
           + "\r\nPDOMapping=1\r\nLowLimit=0\r\nHighLimit=0xFFFF\r\n\r\n";
}

inline void appendRecord(QByteArray &eds, int index, int n, int subs)
{
    const QByteArray at = QByteArray::number(index, 16).toUpper();
    eds += "[" + at + "]\r\nParameterName=Record " + QByteArray::number(n)
           + "\r\nObjectType=0x9\r\nSubNumber=" + QByteArray::number(subs) + "\r\n\r\n";
    eds += "[" + at
           + "sub0]\r\nParameterName=Highest sub-index supported\r\nObjectType=0x7\r\n"
             "DataType=0x0005\r\nAccessType=ro\r\nDefaultValue="
           + QByteArray::number(subs - 1) + "\r\nPDOMapping=0\r\n\r\n";
    for (int s = 1; s < subs; ++s)
        eds += "[" + at + "sub" + QByteArray::number(s, 16).toUpper() + "]\r\nParameterName=Entry "
               + QByteArray::number(s) + " of record " + QByteArray::number(n)
               + "\r\nObjectType=0x7\r\nDataType=0x0006\r\nAccessType=rw\r\nDefaultValue="
               + QByteArray::number(s * 10) + "\r\nPDOMapping=1\r\nLowLimit=0\r\nHighLimit="
               + QByteArray::number(1000 + s) + "\r\n\r\n";
}

// objects from 0x2000 on; subIndices receives their number.
inline QByteArray generate(int objects, int &subIndices)
{
    QByteArray eds;
    eds.reserve(objects * 1100);
    eds += "[FileInfo]\r\nFileName=big.eds\r\nFileVersion=1\r\nFileRevision=1\r\nEDSVersion=4.0\r\n"
           "Description=Generated for the benchmarks\r\n\r\n[DeviceInfo]\r\nVendorName="
           "Bench\r\nProductName=Big device\r\nNrOfRXPDO=0\r\nNrOfTXPDO=0\r\n\r\n";
    eds += "[ManufacturerObjects]\r\nSupportedObjects=" + QByteArray::number(objects) + "\r\n";
    for (int n = 0; n < objects; ++n)
        eds += QByteArray::number(n + 1) + "=0x" + QByteArray::number(0x2000 + n, 16).toUpper()
               + "\r\n";
    eds += "\r\n";
    subIndices = 0;
    for (int n = 0; n < objects; ++n) {
        if (n % 5 == 0) {
            appendVariable(eds, 0x2000 + n, n);
            subIndices += 1;
        } else {
            const int subs = n % 5 == 4 ? 9 : 8;
            appendRecord(eds, 0x2000 + n, n, subs);
            subIndices += subs;
        }
    }
    return eds;
}

} // namespace benchedsfile
