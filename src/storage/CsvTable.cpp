#include "storage/CsvTable.h"

#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cstdint>

namespace {
QString DecodeUtf16(const QByteArray& bytes, qsizetype from, bool littleEndian)
{
    const qsizetype count = (bytes.size() - from) / 2; // a half character at the end is dropped
    QString text(count, Qt::Uninitialized);
    const auto* const in = reinterpret_cast<const unsigned char*>(bytes.constData() + from);
    QChar* const out = text.data();
    for (qsizetype i = 0; i < count; ++i) {
        out[i] = QChar(littleEndian ? qFromLittleEndian<uint16_t>(in + 2 * i) : qFromBigEndian<uint16_t>(in + 2 * i));
    }
    return text;
}
} // namespace

QChar CsvTable::DetectSeparator(QStringView text)
{
    int commas = 0;
    int semicolons = 0;
    int tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tabs;
    }
    if (tabs > commas && tabs >= semicolons)
        return QLatin1Char('\t');
    if (semicolons > commas)
        return QLatin1Char(';');
    return QLatin1Char(',');
}

bool CsvTable::Parse(QStringView text, QChar separator, std::vector<Row>& rows, int& badLine)
{
    rows.clear();
    badLine = 0;
    const qsizetype size = text.size();
    qsizetype pos = 0;
    int line = 1;
    while (pos < size) {
        Row row;
        row.line = line;
        QString field;
        bool rowEnded = false;
        while (!rowEnded) {
            field.clear();
            if (pos < size && text[pos] == QLatin1Char('"')) {
                ++pos;
                const int opened = line;
                for (;;) {
                    if (pos >= size) {
                        badLine = opened;
                        return false;
                    }
                    const QChar c = text[pos++];
                    if (c == QLatin1Char('"')) {
                        if (pos < size && text[pos] == QLatin1Char('"')) {
                            field += c;
                            ++pos;
                            continue;
                        }
                        break;
                    }
                    if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && (pos >= size || text[pos] != u'\n')))
                        ++line;
                    field += c;
                }
            }
            // Unquoted text, or what follows a closing quote up to the separator, is taken as it is.
            const qsizetype start = pos;
            while (pos < size && text[pos] != separator && text[pos] != QLatin1Char('\n') &&
                   text[pos] != QLatin1Char('\r'))
                ++pos;
            field += text.mid(start, pos - start);
            row.fields.append(field);
            if (pos < size && text[pos] == separator) {
                ++pos;
                continue;
            }
            rowEnded = true;
            if (pos < size && text[pos] == QLatin1Char('\r'))
                ++pos;
            if (pos < size && text[pos] == QLatin1Char('\n'))
                ++pos;
            ++line;
        }
        // A row of nothing but separators and blanks is as good as a blank line.
        const bool empty = std::all_of(row.fields.cbegin(), row.fields.cend(),
                                       [](const QString& cell) { return cell.trimmed().isEmpty(); });
        if (!empty)
            rows.push_back(std::move(row));
    }
    return true;
}

QString CsvTable::Line(const QStringList& fields)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        const QString& field = fields[i];
        const bool quote = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                           field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')) ||
                           field.contains(QLatin1Char(';')) || field.contains(QLatin1Char('\t')) ||
                           (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
        if (quote) {
            out += QLatin1Char('"');
            out += QString(field).replace(QLatin1String("\""), QLatin1String("\"\""));
            out += QLatin1Char('"');
        } else {
            out += field;
        }
    }
    out += QLatin1String("\r\n");
    return out;
}

QString CsvTable::Decode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE"))
        return DecodeUtf16(bytes, 2, true);
    if (bytes.startsWith("\xFE\xFF"))
        return DecodeUtf16(bytes, 2, false);
    // Text files begin with a character below 256 in practice: its zero byte tells the order.
    if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0)
        return DecodeUtf16(bytes, 0, true);
    if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] != 0)
        return DecodeUtf16(bytes, 0, false);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QByteArray CsvTable::EncodeForSpreadsheets(const QString& text)
{
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
