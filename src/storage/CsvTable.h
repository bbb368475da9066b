#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

/// Comma-, semicolon- or tab-separated text as spreadsheet programs read and write it: fields
/// in double quotes may hold separators, line breaks and doubled quotes.
class CsvTable
{
public:
    struct Row
    {
        int line = 0; ///< the file's line the row starts on, counted from 1
        QStringList fields;
    };

    /// The separator the header line uses most: comma, semicolon or tab (comma when none).
    static QChar DetectSeparator(QStringView text);

    /// Splits `text` into rows. Line breaks are LF, CR LF or CR; a row of only blanks is left out.
    /// False, with `badLine` the line it starts on, when a quoted field is never closed.
    static bool Parse(QStringView text, QChar separator, std::vector<Row>& rows, int& badLine);

    /// One line of fields separated by commas and ended by CR LF; a field holding a comma, a
    /// quote, a line break or spaces at its ends is quoted, its quotes doubled.
    static QString Line(const QStringList& fields);

    /// The text of a file: UTF-8 (with or without a byte-order mark), UTF-16 in either byte
    /// order (with a mark, or recognised by the zero bytes of its first character), and bytes
    /// that are not UTF-8 read as Latin-1. The mark itself is not part of the text.
    static QString Decode(const QByteArray& bytes);

    /// The text as UTF-8 with a byte-order mark, the form spreadsheet programs recognise.
    static QByteArray EncodeForSpreadsheets(const QString& text);
};
