#pragma once

#include "description/htmldocumentationgenerator.h"

#include <QList>

class GeneratedText;

// The parameter groups of one J1939 line as an HTML page: a table of contents with the
// transmitted PGNs, then the received ones, and per PGN a table with its description and
// one table per SPN. With the user setting "implinfo" the SPN tables also tell how each
// SPN is implemented.
class J1939HTMLGenerator : public HtmlDocumentationGenerator
{
    Q_OBJECT

public:
    explicit J1939HTMLGenerator(QObject *parent = nullptr);

protected:
    QString documentTitle() const override;
    void writeDocument() override;
    void writeTableOfContents(GeneratedText &out) override;
    void writeBody(GeneratedText &out) override;

private:
    void createTOC(GeneratedText &out, quint8 direction, quint32 pgn);
    void describePGN(GeneratedText &out, quint8 direction, quint32 pgn);
    void describeSPN(GeneratedText &out, quint8 direction, quint32 pgn, quint32 spn);
    // The id of a PGN's section: its number in decimal. A received PGN that is also
    // transmitted gets "rx" appended, so that both sections can be linked.
    QString anchor(quint8 direction, quint32 pgn) const;

    QList<quint32> transmitted;
};
