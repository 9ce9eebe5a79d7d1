// What the command line needs to know about its standard streams.
#pragma once

namespace host {

// True when standard error is a terminal, where a progress line that rewrites itself makes sense.
bool StderrIsTerminal();

// True when standard output is a terminal.
bool StdoutIsTerminal();

// Makes standard input and output carry bytes unchanged (no line-end translation), lets a
// Windows console show UTF-8 output, and turns a closed output pipe into a failed write instead
// of the end of the process, so the program can stop cleanly and say why.
void UseByteStdio();

}  // namespace host
