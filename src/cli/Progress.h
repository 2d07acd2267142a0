#pragma once

#include <QString>

// A progress bar on stderr, redrawn in place, when stderr is a terminal;
// nothing at all otherwise, so that logs and pipes stay clean.
class Progress
{
public:
    explicit Progress(QString label);
    // Ends the bar's line.
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // A total of 0 shows the count alone.
    void show(qint64 done, qint64 total);

private:
    QString label_;
    bool drawn_ = false;
    bool onTerminal_;
};
