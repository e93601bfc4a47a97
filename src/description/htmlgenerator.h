#pragma once

#include "description/htmldocumentationgenerator.h"

#include <QList>

class GeneratedText;

// The object dictionary of one line as an HTML page: a table of contents with one link
// per object (communication, manufacturer and profile objects separated by an empty
// line), then per object a table with its object code and description and one table per
// sub-index. With the user setting "implinfo" the sub-index tables also tell how each
// entry is implemented.
class HTMLGenerator : public HtmlDocumentationGenerator
{
    Q_OBJECT

public:
    explicit HTMLGenerator(QObject *parent = nullptr);

protected:
    QString documentTitle() const override;
    void writeTableOfContents(GeneratedText &out) override;
    void writeBody(GeneratedText &out) override;

private:
    void createTOC(GeneratedText &out, quint16 index);
    void describeIndex(GeneratedText &out, quint16 index);
    void describeSubIndex(GeneratedText &out, quint16 index, quint8 subindex);

    QList<quint16> indices;
    bool firstManufacturerEntry = true;
    bool firstProfileEntry = true;
};
