#pragma once

#include <QString>

// Turns the checker's findings (output window texts) into text for a terminal. The
// checker marks words of its messages with a few tags of its own (<strong>, <i>,
// <font ...> and line breaks <br>); those are removed. Everything else stays exactly as
// reported, so an object name or a path with "<" or "&" is printed unchanged.
class CliText
{
public:
    static QString plainText(const QString &message);
};
