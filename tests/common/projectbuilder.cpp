#include "projectbuilder.h"

#include "panelkit/appidentity.h"
#include "testenv.h"

#include <QMap>
#include <QTest>

void nwtest::initApplication()
{
    nwIsolateTestEnvironment();
    AppIdentity::apply(QStringLiteral("nodewright"));
}

nwtest::Sub nwtest::entry(quint16 datatype, const QString &access, const QString &value,
                          quint8 implementation)
{
    Sub sub;
    sub.datatype = datatype;
    sub.accesstype = access;
    sub.defaultvalue = value;
    sub.implementation = implementation;
    return sub;
}

nwtest::Sub nwtest::appVariable(quint16 datatype, const QString &access, const QString &varName,
                                quint8 pdoMapping)
{
    Sub sub = entry(datatype, access, QStringLiteral("0"), 2);
    sub.varname = varName;
    sub.pdomapping = pdoMapping;
    return sub;
}

QMap<QString, QString> nwtest::generalSettings(ObjectDataBase &db)
{
    QMap<QString, QString> values;
    for (const QString &key : db.getGeneralSettingsKeys())
        values.insert(key, db.getGeneralSettingsValue(key));
    return values;
}

namespace nwtest {

void ProjectBuilder::require(bool done, const QString &what)
{
    if (!done)
        QTest::qFail(qPrintable(QStringLiteral("the project store refused: ") + what), __FILE__,
                     __LINE__);
}

ProjectBuilder &ProjectBuilder::newProject()
{
    require(m_db.createNewDataBase(), QStringLiteral("a new project"));
    return line(0, 1);
}

ProjectBuilder &ProjectBuilder::line(quint8 line, int type)
{
    if (!m_db.existNode(line))
        require(m_db.addNode(line, ObjectDataBase::NODE_DATA_T()),
                QStringLiteral("line %1").arg(line));
    m_db.setGeneralSettingsValue(QStringLiteral("line%1type").arg(line), QString::number(type));
    return *this;
}

ProjectBuilder &ProjectBuilder::object(quint8 line, quint16 index, quint8 objectType,
                                       const QList<Sub> &subs, const QString &name)
{
    ObjectDataBase::INDEX_DATA_T object;
    object.name = name;
    object.objecttype = objectType;
    const QString where = QStringLiteral("%1:%2").arg(line).arg(index, 4, 16, QLatin1Char('0'));
    require(m_db.addIndex(line, index, object), where);
    for (int i = 0; i < subs.size(); ++i)
        require(m_db.addSubIndex(line, index, quint8(i), subs.at(i)),
                where + QStringLiteral(" sub-index %1").arg(i));
    return *this;
}

ProjectBuilder &ProjectBuilder::var(quint8 line, quint16 index, const Sub &sub, const QString &name)
{
    return object(line, index, 7, {sub}, name);
}

ProjectBuilder &ProjectBuilder::objects(const QStringList &specs)
{
    for (const QString &spec : specs) {
        const QStringList words = spec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QStringList address = words.value(0).split(QLatin1Char(':'));
        const quint8 lineNumber = quint8(address.value(0).toUInt());
        const quint16 index = quint16(address.value(1).toUInt(nullptr, 16));
        const int count = address.value(2).toInt();
        QMap<QString, QString> options;
        for (int i = 1; i < words.size(); ++i)
            options.insert(words.at(i).section(QLatin1Char('='), 0, 0),
                           words.at(i).section(QLatin1Char('='), 1));
        const QStringList values = options.value(QStringLiteral("values")).split(QLatin1Char(','));
        QList<Sub> subs;
        for (int sub = 0; sub < count; ++sub) {
            const QString value = values.value(sub);
            Sub data =
                entry(0, QStringLiteral("ro"), value.isEmpty() ? QStringLiteral("0") : value);
            if (sub == 0)
                data.accesstype = options.value(QStringLiteral("access0"), data.accesstype);
            if (count == 1 || sub > 0) {
                data.datatype = quint16(
                    options.value(QStringLiteral("type"), QStringLiteral("7")).toUInt(nullptr, 0));
                data.implementation = quint8(options.value(QStringLiteral("impl")).toUInt());
                data.nvstorage = options.value(QStringLiteral("nv")) == QLatin1String("1");
            }
            subs << data;
        }
        if (!m_db.existNode(lineNumber))
            line(lineNumber, 1);
        object(lineNumber, index, count > 1 ? 8 : 7, subs);
    }
    return *this;
}

ProjectBuilder &ProjectBuilder::settings(const QVariantMap &general)
{
    for (auto it = general.cbegin(); it != general.cend(); ++it)
        m_db.setGeneralSettingsValue(it.key(), it.value().toString());
    return *this;
}

ProjectBuilder &ProjectBuilder::j1939Settings(const QVariantMap &settings)
{
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        m_db.setJ1939SettingsValue(it.key(), it.value().toString());
    return *this;
}

ProjectBuilder &ProjectBuilder::pgns(const QStringList &specs)
{
    return messages(specs, true);
}

ProjectBuilder &ProjectBuilder::canIds(const QStringList &specs)
{
    return messages(specs, false);
}

ProjectBuilder &ProjectBuilder::messages(const QStringList &specs, bool asPgns)
{
    for (const QString &spec : specs) {
        const QStringList parts = spec.split(QLatin1Char(':'));
        const quint8 line = quint8(parts.value(0).toUInt());
        const quint32 number = parts.value(1).toUInt(nullptr, 16);
        const quint8 direction = parts.value(2) == QLatin1String("t")
                                     ? ObjectDataBase::DirectionTransmit
                                     : ObjectDataBase::DirectionReceive;
        ObjectDataBase::PGN pgn;
        pgn.number = number;
        pgn.direction = direction;
        ObjectDataBase::CANID canId;
        canId.id = number;
        canId.direction = direction;
        require(asPgns ? m_db.addPGN(line, number, pgn) : m_db.addCANID(line, number, canId),
                (asPgns ? QStringLiteral("PGN ") : QStringLiteral("CAN identifier ")) + spec);
    }
    return *this;
}

} // namespace nwtest
