#include "description/csvgenerator.h"

#include "database/objectdatabase.h"
#include "description/lineobjects.h"
#include "generators/generatedtext.h"
#include "panelkit/csvfields.h"
#include "panelkit/helper.h"

#include <QDebug>
#include <QSaveFile>

namespace {

const char crlf[] = "\r\n";
const char header[] = "Index,Sub,EDSname,Datatype,Access,Value,varname,LowLimit,UpLimit,"
                      "hasDefault,hasLimit,refuseRead,refuseWrite,defaultInEDS,"
                      "ImplementationType,Size,ObjectCode,mapable";

const QChar separator = QLatin1Char(',');

QString field(const QString &text)
{
    return CsvFields::quoted(text, separator);
}

const char *yesNo(bool flag)
{
    return flag ? "yes" : "no";
}

QString implementationText(quint8 implementation)
{
    switch (implementation) {
    case 0:
        return QStringLiteral("ManagedVariable");
    case 1:
        return QStringLiteral("ManagedConst");
    case 2:
        return QStringLiteral("Variable");
    default:
        return QString();
    }
}

QString mappingText(quint8 pdoMapping)
{
    switch (pdoMapping) {
    case 1:
        return QStringLiteral("both");
    case 3:
        return QStringLiteral("rpdo");
    case 4:
        return QStringLiteral("tpdo");
    default:
        return QStringLiteral("no");
    }
}

} // namespace

CSVGenerator::CSVGenerator(QObject *parent) : AbstractGenerator(parent) {}

QString CSVGenerator::fileName() const
{
    return multiLine ? QStringLiteral("%1_%2.csv").arg(projectName).arg(activeLine)
                     : projectName + QStringLiteral(".csv");
}

bool CSVGenerator::checkWritability()
{
    return isTargetWritable(projectName + QStringLiteral(".csv"));
}

unsigned CSVGenerator::startGeneration()
{
    return startWorker(QStringLiteral("CSV documentation"));
}

unsigned CSVGenerator::abortGeneration()
{
    return requestAbort();
}

QString CSVGenerator::valueColumn(quint16 datatype, const QString &defaultValue)
{
    if (datatype == 9 || datatype == 10 || datatype == 124)
        return defaultValue;
    bool ok = false;
    const qlonglong value = defaultValue.toLongLong(&ok, 0);
    if (ok)
        return QString::number(value);
    // Unsigned 64-bit values above the signed range.
    const qulonglong unsignedValue = defaultValue.toULongLong(&ok, 0);
    return ok ? QString::number(unsignedValue) : QStringLiteral("0");
}

void CSVGenerator::doJob()
{
    beginJob(false);
    if (!prepareOutputFile()) {
        failJob();
        return;
    }
    GeneratedText stream(file.data());
    out = &stream;
    stream << header << crlf;
    lockDataBase(true);
    subNamePattern = tr(" %1");
    const LineObjects objects(dataBase(), activeLine);
    quint16 previous = 0;
    int done = 0;
    for (quint16 index : objects.indices()) {
        if (abortRequested) {
            qDebug() << "Generation aborted";
            break;
        }
        if (previous < 0x2000 && index >= 0x2000)
            stream << ' ' << crlf;
        if (previous < 0x6000 && index >= 0x6000)
            stream << ' ' << crlf;
        previous = index;
        const ObjectDataBase::INDEX_DATA_T &data = objects.object(index);
        currentName = Helper::substituteVariables(data.name, index, 0);
        currentType = data.objecttype;
        for (quint8 sub : objects.subIndices(index))
            documentSubIndex(activeLine, index, sub);
        stream.flush();
        yieldAfterObject(done);
    }
    stream.flush();
    out = nullptr;
    fileWritten = finishJob({file.data()});
}

bool CSVGenerator::prepareOutputFile()
{
    file = createOutputFile(fileName());
    if (!file)
        return false;
    // Line ends are written as CR LF on every platform.
    file->setTextModeEnabled(false);
    return true;
}

void CSVGenerator::documentSubIndex(quint8 line, quint16 index, quint8 subindex)
{
    ObjectDataBase::SUBINDEX_DATA_T data;
    if (!dataBase()->getSubIndexData(line, index, subindex, data))
        return;
    QString name = currentName;
    if (currentType != 7)
        name += subNamePattern.arg(Helper::substituteVariables(data.name, index, subindex));
    const QString varname = data.implementation == 2
                                ? Helper::substituteVariables(data.varname, index, subindex)
                                : QStringLiteral("NONE");
    QString objectCode;
    if (subindex == 0 && currentType == 8)
        objectCode = QStringLiteral("ARRAY");
    else if (subindex == 0 && currentType == 9)
        objectCode = QStringLiteral("RECORD");

    GeneratedText &s = *out;
    s << "0x" << Helper::hexDigits(index, 4) << ",0x" << Helper::hexDigits(subindex, 2) << ','
      << field(name) << ',' << field(Helper::index2DataTypeString(data.datatype)) << ','
      << field(data.accesstype) << ',' << field(valueColumn(data.datatype, data.defaultvalue))
      << ',' << field(varname) << ',' << data.lowlimit << ',' << data.uplimit << ','
      << yesNo(data.defaultineds) << ',' << yesNo(data.limitineds) << ',' << yesNo(data.refuseread)
      << ',' << yesNo(data.refusewrite) << ',' << int(data.writedefaulttoeds) << ','
      << implementationText(data.implementation) << ',' << data.size << ',' << objectCode << ','
      << mappingText(data.pdomapping) << crlf;
}
