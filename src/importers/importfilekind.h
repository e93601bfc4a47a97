#pragma once

#include <QString>

// What kind of file an import reads, by its suffix (case ignored). The import dialog, "-i"
// and the command line decide with this one rule which reader a file goes to.
enum class ImportFileKind { Catalogue, Project, Eds, Dcf, Xdd, Csv, Other };

ImportFileKind importFileKind(const QString &path);
