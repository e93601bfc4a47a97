#pragma once

#include "description/documentationgenerator.h"

// The object dictionary of one line as plain text: per object its index, name, data
// type, object code and description, then per sub-index its name, data type, default
// value, access type, PDO mapping code and description.
class TextDocGenerator : public DocumentationGenerator
{
    Q_OBJECT

public:
    explicit TextDocGenerator(QObject *parent = nullptr);

protected:
    void writeHead() override;
    void writeDocument() override;

private:
    void documentIndex(quint8 line, quint16 index);
    void documentSubIndex(quint8 line, quint16 index, quint8 subindex);
};
