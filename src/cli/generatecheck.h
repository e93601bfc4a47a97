#pragma once

class CommandLine;
class GenerationRun;
class QTextStream;

// `nodewright-cli generate --check`: runs the configured generation into a scratch
// folder and lists the files of the output folder that differ from what it generated or
// are missing (dates and the generation counter aside). Writes nothing. Exit codes: 0 every
// file is current, 1 some file is out of date or the model check found errors, 2 the run
// could not generate.
class GenerateCheck
{
public:
    static int run(GenerationRun &run, const CommandLine &commandLine, QTextStream &out,
                   QTextStream &err);
};
