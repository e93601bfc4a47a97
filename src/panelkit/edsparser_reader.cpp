// Decoding and the one pass over the lines of an EDS or DCF file.

#include "panelkit/edsparser_reader.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

struct KeyName
{
    const char *name;
    int length;
    int key;
};

#define NW_KEY(text, key)                                                                          \
    {                                                                                              \
        text, int(sizeof(text) - 1), key                                                           \
    }

bool isBlank(ushort c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == 0xFEFF;
}

bool isHexDigit(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

bool allHex(const QStringRef &text)
{
    for (const QChar c : text) {
        if (!isHexDigit(c))
            return false;
    }
    return !text.isEmpty();
}

// Compares without case; the names compared with are ASCII. An ASCII text is compared
// here (Qt's comparison folds every character through its Unicode tables, the largest
// single cost of reading keys); any other goes through Qt's folding, which also matches
// the few non-ASCII letters that fold to ASCII ones.
bool sameText(const QStringRef &text, const char *latin1)
{
    const int length = int(std::strlen(latin1));
    if (text.size() != length)
        return false;
    const QChar *characters = text.unicode();
    for (int i = 0; i < length; ++i) {
        const ushort c = characters[i].unicode();
        if (c >= 0x80)
            return text.compare(QLatin1String(latin1), Qt::CaseInsensitive) == 0;
        const ushort expected = uchar(latin1[i]);
        if (c == expected)
            continue;
        const ushort lower = c | 0x20;
        if (lower != (expected | 0x20) || lower < 'a' || lower > 'z')
            return false;
    }
    return true;
}

} // namespace

EdsParser::Reader::Reader(EdsParser &parser, const QString &fileName)
    : m_parser(parser), m_fileName(fileName), m_slots(65536, -1)
{
}

bool EdsParser::Reader::run(const QByteArray &content)
{
    if (content.isEmpty()) {
        error(0, tr("the file is empty"));
        return false;
    }
    if (!decode(content))
        return false;
    scan();
    if (m_objects.empty()) {
        error(0, m_sectionCount == 0 ? tr("the file has no sections; it is no EDS or DCF file")
                                     : tr("the file has no object sections; it is no EDS or DCF "
                                          "file"));
        finishRepeats();
        sortDiagnostics();
        return false;
    }
    checkObjectLists();
    deliverObjects();
    finishRepeats();
    sortDiagnostics();
    return true;
}

bool EdsParser::Reader::decode(const QByteArray &content)
{
    // A text file holds no NUL bytes; a few kilobytes tell a binary file.
    if (content.left(8192).contains('\0')) {
        error(0, tr("the file holds binary data; it is no EDS or DCF file"));
        return false;
    }
    // Invalid UTF-8 decodes to replacement characters; a file that holds them without
    // having written one itself is Latin-1.
    // Plain ASCII, the usual case, needs no decoding; eight bytes are tested at a time.
    const char *bytes = content.constData();
    const size_t size = size_t(content.size());
    quint64 highBits = 0;
    size_t at = 0;
    for (; at + 8 <= size; at += 8) {
        quint64 word = 0;
        std::memcpy(&word, bytes + at, 8);
        highBits |= word;
    }
    for (; at < size; ++at)
        highBits |= uchar(bytes[at]);
    const bool ascii = (highBits & 0x8080808080808080ULL) == 0;
    if (ascii) {
        m_text = QString::fromLatin1(content);
        return true;
    }
    m_text = QString::fromUtf8(content);
    if (m_text.contains(QChar(QChar::ReplacementCharacter)) && !content.contains("\xEF\xBF\xBD")) {
        m_text = QString::fromLatin1(content);
        warning(0, tr("the file is not valid UTF-8 text; it was read as Latin-1"));
    }
    if (m_text.startsWith(QChar(0xFEFF)))
        m_text.remove(0, 1);
    return true;
}

void EdsParser::Reader::scan()
{
    const QChar *data = m_text.constData();
    const int size = m_text.size();
    int pos = 0;
    int line = 0;
    while (pos < size) {
        ++line;
        const int lineStart = pos;
        while (pos < size) {
            const ushort c = data[pos].unicode();
            if (c == '\n' || c == '\r')
                break;
            ++pos;
        }
        const int lineEnd = pos;
        if (pos < size) {
            if (data[pos].unicode() == '\r' && pos + 1 < size && data[pos + 1].unicode() == '\n')
                pos += 2;
            else
                ++pos;
        } else {
            m_unterminated = true;
        }
        int begin = lineStart;
        int end = lineEnd;
        while (begin < end && isBlank(data[begin].unicode()))
            ++begin;
        while (end > begin && isBlank(data[end - 1].unicode()))
            --end;
        if (begin < end)
            handleLine(begin, end, lineEnd, line);
    }
    m_lineCount = line;
    closeSection();
}

void EdsParser::Reader::handleLine(int begin, int end, int rawEnd, int line)
{
    const ushort first = m_text.at(begin).unicode();
    if (first == ';') {
        if (end - begin >= 2 && m_text.at(begin + 1) == QLatin1Char(';')
            && m_kind != SectionKind::None) {
            m_pendingComment += QStringRef(&m_text, begin + 2, rawEnd - begin - 2);
            m_pendingComment += QLatin1Char('\n');
        }
        return;
    }
    if (first == '#') {
        repeated(Repeat::HashComment, line, tr("a line starting with '#' was read as a comment"));
        return;
    }
    if (first == '[') {
        openSection(begin, end, line);
        return;
    }
    handleKeyValue(begin, end, line);
}

void EdsParser::Reader::openSection(int begin, int end, int line)
{
    closeSection();
    const int close = m_text.indexOf(QLatin1Char(']'), begin);
    if (close < 0 || close >= end) {
        error(line, tr("the section header %1 has no closing ']'; the lines up to the next "
                       "section are ignored")
                        .arg(QStringRef(&m_text, begin, end - begin).toString()));
        m_kind = SectionKind::None;
        return;
    }
    if (close + 1 < end) {
        const QStringRef rest = QStringRef(&m_text, close + 1, end - close - 1).trimmed();
        if (!rest.startsWith(QLatin1Char(';')))
            repeated(Repeat::TrailingText, line,
                     tr("the text '%1' after a section header was ignored").arg(rest.toString()));
    }
    const QStringRef name = QStringRef(&m_text, begin + 1, close - begin - 1).trimmed();
    ++m_sectionCount;
    m_sectionName.start = name.position();
    m_sectionName.length = name.size();
    m_sectionLine = line;
    classifySection(name, line);
}

void EdsParser::Reader::classifySection(const QStringRef &name, int line)
{
    if (name.size() >= 4 && allHex(name.left(4))) {
        quint64 index = 0;
        cNumber(name.left(4), 16, index);
        const QStringRef suffix = name.mid(4);
        if (suffix.isEmpty()) {
            openObjectSection(quint16(index), line);
            return;
        }
        quint64 sub = 0;
        if (suffix.size() > 3 && sameText(suffix.left(3), "sub")
            && cNumber(suffix.mid(3), 16, sub)) {
            openSubSection(quint16(index), sub, line);
            return;
        }
        const SectionKind lists[] = {SectionKind::Names, SectionKind::Values,
                                     SectionKind::Denotations, SectionKind::Links};
        const char *const suffixes[] = {"name", "value", "denotation", "objectlinks"};
        for (int i = 0; i < 4; ++i) {
            if (sameText(suffix, suffixes[i])) {
                m_kind = lists[i];
                m_object = &object(quint16(index));
                return;
            }
        }
        warning(line,
                tr("the section [%1] is of no known kind and was ignored").arg(name.toString()),
                int(index));
        m_kind = SectionKind::None;
        return;
    }
    QString key = name.toString().toLower();
    if (key == QLatin1String("devicecomissioning"))
        key = QStringLiteral("devicecommissioning");
    const bool again = m_parser.m_sections.contains(key);
    m_section = &m_parser.m_sections[key];
    if (again)
        warning(line, tr("the section [%1] appears a second time; its keys were merged into the "
                         "first")
                          .arg(name.toString()));
    else
        m_section->name = name.toString();
    m_kind = SectionKind::General;
}

EdsParser::Reader::ObjectEntry &EdsParser::Reader::object(quint16 index)
{
    int &slot = m_slots[index];
    if (slot < 0) {
        slot = int(m_objects.size());
        m_objects.emplace_back();
        m_objects.back().index = index;
    }
    return m_objects[size_t(slot)];
}

void EdsParser::Reader::openObjectSection(quint16 index, int line)
{
    m_lastSectionIndex = index;
    m_object = &object(index);
    m_entry = &m_object->object;
    if (m_entry->seen)
        warning(line,
                tr("the section [%1] appears a second time; its keys were merged into the "
                   "first")
                    .arg(sectionName()),
                index);
    else
        m_entry->line = line;
    m_entry->seen = true;
    m_kind = SectionKind::Object;
}

void EdsParser::Reader::openSubSection(quint16 index, quint64 sub, int line)
{
    if (sub > 0xFF) {
        error(line,
              tr("the sub-index of the section [%1] is larger than 0xFF; the section was ignored")
                  .arg(sectionName()),
              index);
        m_kind = SectionKind::None;
        return;
    }
    m_lastSectionIndex = index;
    m_object = &object(index);
    if (m_object->firstSubLine == 0)
        m_object->firstSubLine = line;
    if (m_object->subSeen.test(sub)) {
        warning(line,
                tr("the section [%1] appears a second time; its keys were merged into the "
                   "first")
                    .arg(sectionName()),
                index);
        for (SubEntry &entry : m_object->subs) {
            if (entry.sub == sub)
                m_entry = &entry.entry;
        }
    } else {
        m_object->subSeen.set(sub);
        if (m_object->subs.empty())
            m_object->subs.reserve(8);
        m_object->subs.emplace_back();
        m_object->subs.back().sub = quint8(sub);
        m_entry = &m_object->subs.back().entry;
        m_entry->line = line;
        m_entry->seen = true;
    }
    m_kind = SectionKind::Sub;
}

void EdsParser::Reader::closeSection()
{
    if (!m_pendingComment.isEmpty()) {
        m_parser.m_comments.append({sectionName(), m_sectionLine, m_pendingComment});
        m_pendingComment.clear();
    }
    m_kind = SectionKind::None;
    m_entry = nullptr;
    m_object = nullptr;
    m_section = nullptr;
}

void EdsParser::Reader::handleKeyValue(int begin, int end, int line)
{
    const int equals = m_text.indexOf(QLatin1Char('='), begin);
    const int objectIndex =
        (m_kind == SectionKind::None || m_kind == SectionKind::General || !m_object)
            ? -1
            : int(m_object->index);
    if (equals < 0 || equals >= end || equals == begin) {
        const QString text = tr("the line '%1' is no key=value pair and was ignored")
                                 .arg(QStringRef(&m_text, begin, qMin(end - begin, 60)).toString());
        // Inside an object a lost line may be a lost value; elsewhere it changes nothing the
        // import takes over.
        if (objectIndex >= 0)
            error(line, text, objectIndex);
        else
            warning(line, text);
        return;
    }
    int keyEnd = equals;
    while (keyEnd > begin && isBlank(m_text.at(keyEnd - 1).unicode()))
        --keyEnd;
    int valueBegin = equals + 1;
    while (valueBegin < end && isBlank(m_text.at(valueBegin).unicode()))
        ++valueBegin;
    const QStringRef key(&m_text, begin, keyEnd - begin);
    Field value;
    value.start = valueBegin;
    value.length = end - valueBegin;
    value.line = line;

    switch (m_kind) {
    case SectionKind::None:
        if (m_sectionCount == 0)
            warning(line, tr("text before the first section was ignored"));
        return;
    case SectionKind::Object:
    case SectionKind::Sub:
        storeField(*m_entry, key, value, line);
        return;
    case SectionKind::Names:
    case SectionKind::Values:
    case SectionKind::Denotations:
        storeListItem(key, value, line);
        return;
    case SectionKind::Links:
        return;
    case SectionKind::General:
        storeGeneral(key, value, line);
        return;
    }
}

void EdsParser::Reader::storeField(Entry &entry, const QStringRef &key, const Field &value,
                                   int line)
{
    static const KeyName names[] = {
        NW_KEY("ParameterName", ParameterName), NW_KEY("ObjectType", ObjectType),
        NW_KEY("DataType", DataType),           NW_KEY("AccessType", AccessType),
        NW_KEY("DefaultValue", DefaultValue),   NW_KEY("PDOMapping", PDOMapping),
        NW_KEY("LowLimit", LowLimit),           NW_KEY("HighLimit", HighLimit),
        NW_KEY("ObjFlags", ObjFlags),           NW_KEY("SubNumber", SubNumber),
        NW_KEY("CompactSubObj", CompactSubObj), NW_KEY("ParameterValue", ParameterValue),
        NW_KEY("Denotation", Denotation),       NW_KEY("UploadFile", UploadFile),
        NW_KEY("DownloadFile", DownloadFile),
    };
    const ushort first = key.isEmpty() ? 0 : key.at(0).toLower().unicode();
    for (const KeyName &name : names) {
        if (name.length != key.size() || ushort(name.name[0] | 0x20) != first
            || !sameText(key, name.name))
            continue;
        Field &field = entry.fields[size_t(name.key)];
        if (field.present())
            warning(line,
                    tr("the key %1 appears a second time in the section; the later value "
                       "is used")
                        .arg(key.toString()),
                    m_object ? int(m_object->index) : -1);
        field = value;
        return;
    }
    const QString lower = key.toString().toLower();
    RepeatState &state = m_unknownKeys[lower];
    if (state.first >= 0) {
        ++state.more;
        return;
    }
    warning(line, tr("the key %1 is not known and was ignored").arg(key.toString()));
    state.first = m_parser.m_diagnostics.size() - 1;
}

void EdsParser::Reader::storeListItem(const QStringRef &key, const Field &value, int line)
{
    if (sameText(key, "NrOfEntries"))
        return;
    quint64 element = 0;
    if (!cNumber(key, 0, element) || element == 0 || element > 0xFE) {
        warning(line,
                tr("the entry %1 of the section [%2] is no element number and was ignored")
                    .arg(key.toString(), sectionName()),
                int(m_object->index));
        return;
    }
    std::vector<ListItem> &items = m_kind == SectionKind::Names    ? m_object->names
                                   : m_kind == SectionKind::Values ? m_object->values
                                                                   : m_object->denotations;
    items.push_back({int(element), value});
}

void EdsParser::Reader::storeGeneral(const QStringRef &key, const Field &value, int line)
{
    const QString lower = key.toString().toLower();
    auto it = m_section->values.find(lower);
    if (it != m_section->values.end()) {
        warning(line, tr("the key %1 appears a second time in the section [%2]; the later value "
                         "is used")
                          .arg(key.toString(), m_section->name));
        *it = string(value);
        return;
    }
    m_section->keyOrder.append(key.toString());
    m_section->values.insert(lower, string(value));
    m_section->lines.insert(lower, line);
}

QStringRef EdsParser::Reader::text(const Field &field) const
{
    if (!field.present())
        return QStringRef();
    return QStringRef(&m_text, field.start, field.length);
}

QString EdsParser::Reader::string(const Field &field) const
{
    return text(field).toString();
}

void EdsParser::Reader::warning(int line, const QString &text, int index)
{
    m_parser.m_diagnostics.append({m_fileName, line, text, Diagnostic::Warning, index});
}

void EdsParser::Reader::error(int line, const QString &text, int index)
{
    m_parser.m_diagnostics.append({m_fileName, line, text, Diagnostic::Error, index});
}

void EdsParser::Reader::repeated(Repeat kind, int line, const QString &text, int index)
{
    RepeatState &state = m_repeats[size_t(kind)];
    if (state.first >= 0) {
        ++state.more;
        return;
    }
    const bool note = kind == Repeat::NotListed || kind == Repeat::ListedMissing;
    m_parser.m_diagnostics.append(
        {m_fileName, line, text, note ? Diagnostic::Info : Diagnostic::Warning, index});
    state.first = m_parser.m_diagnostics.size() - 1;
}

// In the order of the file, as a compiler reports; problems of the file as a whole come
// last, so the reason a file could not be read stays the last diagnostic.
void EdsParser::Reader::sortDiagnostics()
{
    auto position = [](const Diagnostic &diagnostic) {
        return diagnostic.line > 0 ? diagnostic.line : std::numeric_limits<int>::max();
    };
    std::stable_sort(m_parser.m_diagnostics.begin(), m_parser.m_diagnostics.end(),
                     [&position](const Diagnostic &a, const Diagnostic &b) {
                         return position(a) < position(b);
                     });
}

void EdsParser::Reader::finishRepeats()
{
    auto amend = [this](const RepeatState &state) {
        if (state.first >= 0 && state.more > 0)
            m_parser.m_diagnostics[state.first].text +=
                tr(" (and %1 more of this kind)").arg(state.more);
    };
    for (const RepeatState &state : m_repeats)
        amend(state);
    for (const RepeatState &state : qAsConst(m_unknownKeys))
        amend(state);
}
