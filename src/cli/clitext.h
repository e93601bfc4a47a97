#pragma once

#include <QString>

// Turns the HTML lines the tool reports (output window texts) into plain text for a
// terminal: line breaks for <br> and paragraph ends, tags removed, entities decoded.
class CliText
{
public:
    static QString plainText(const QString &html);
};
