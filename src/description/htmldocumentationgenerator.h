#pragma once

#include "description/documentationgenerator.h"

#include <QString>

class GeneratedText;

// The frame both HTML documents share: the head with its style block and title table, a
// table of contents fixed at the right of the page, and one section per object or
// parameter group, each a header table followed by one table per entry. Rows after the
// header rows of a section alternate between plain and "alt"; the count runs on through
// all tables of the section.
//
// Every text that comes from the project passes through stringConvert, so that names,
// values and descriptions can never break the markup.
class HtmlDocumentationGenerator : public DocumentationGenerator
{
    Q_OBJECT

public:
    // HTML text of a project text: '&', '<', '>' and '"' as entities, the German umlauts
    // and sharp s as named entities ("&auml;", "&szlig;"), every line feed as "<br>" and
    // any other character outside ASCII as a numeric reference, so the page shows the
    // same text whatever encoding a browser assumes. Control characters a page cannot
    // hold become U+FFFD.
    static QString stringConvert(const QString &text);

    // The user setting "implinfo" (group "General") as read by the last job: implementation
    // rows are written when it is 1.
    bool isImplInfo() const { return implInfo; }

protected:
    HtmlDocumentationGenerator(const QString &objectName, QObject *parent = nullptr);

    // "Object Dictionary Documenation of " or "PGN/SPN Documenation of ".
    virtual QString documentTitle() const = 0;
    virtual void writeTableOfContents(GeneratedText &out) = 0;
    virtual void writeBody(GeneratedText &out) = 0;

    void readSettings() override;
    void writeHead() override;
    void writeDocument() override;

    // "0x%1" with the number in lower-case hexadecimal, at least digits wide.
    static QString hexNumber(quint32 number, int digits);
    // One entry of the table of contents: a link to anchor labelled "<number> <name>".
    static void writeTocEntry(GeneratedText &out, const QString &anchor, const QString &number,
                              const QString &name);

    // Opens a section: resets the row count, writes the section's table with its header
    // cell (id anchor, text "<label><number> <name>"). The table stays open for the
    // header rows.
    void openSection(GeneratedText &out, const QString &anchor, const QString &label,
                     const QString &number, const QString &name);
    // Ends the section's tables and draws the rule under it.
    static void closeSection(GeneratedText &out);
    static void openTable(GeneratedText &out);
    static void closeTable(GeneratedText &out);
    // A row outside the alternation, label cell 250 pixels wide.
    static void writeFixedRow(GeneratedText &out, const QString &label, const QString &value);
    // An alternating row.
    void writeRow(GeneratedText &out, const QString &label, const QString &value);
    // An alternating row whose label cell is 250 pixels wide.
    void writeWideRow(GeneratedText &out, const QString &label, const QString &value);
    // An alternating row with both cells bold.
    void writeBoldRow(GeneratedText &out, const QString &label, const QString &value);

    bool implInfo = false;

private:
    void writeStyle(GeneratedText &out) const;
    void writeTitleTable(GeneratedText &out) const;
    void openRow(GeneratedText &out);
    // The two cells and the end of a row; labelCell and valueCell open the cells.
    static void writeCells(GeneratedText &out, QLatin1String labelCell, QLatin1String valueCell,
                           const QString &label, const QString &value);

    int rowCount = 0;
};
