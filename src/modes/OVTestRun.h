#pragma once
// Counts and prints the checks of one self-check run. Every line goes to standard
// output as UTF-8 and is flushed at once, so a run that dies still shows each
// completed check.

#include <QString>
#include <cstdint>

class OVTestRun {
public:
    std::int64_t passed = 0;
    std::int64_t failed = 0;

    void begin(const QString& title);
    void check(bool held, const QString& label);
};

// Writes a line to standard output; `flush` forces it out at once.
void ovPrintLine(const QString& line, bool flush);
