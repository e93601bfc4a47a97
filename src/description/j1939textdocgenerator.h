#pragma once

#include "description/documentationgenerator.h"

class GeneratedText;

// The parameter groups of one J1939 line as plain text: per PGN one line with its
// number, name, direction, cycle time and priority, its description, and one line per
// SPN with number, name and data type. Transmitted PGNs come first.
class J1939TextDocGenerator : public DocumentationGenerator
{
    Q_OBJECT

public:
    explicit J1939TextDocGenerator(QObject *parent = nullptr);

protected:
    void writeHead() override;
    void writeDocument() override;

private:
    void documentPGN(quint8 line, quint8 direction, quint32 pgn);
    void documentSPN(GeneratedText &out, quint8 line, quint8 direction, quint32 pgn, quint32 spn);
};
