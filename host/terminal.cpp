#include "host/terminal.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace host {

#ifdef _WIN32

bool StderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

bool StdoutIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

void UseByteStdio() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

#else

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

bool StdoutIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

void UseByteStdio() {
    // Without this, a reader that goes away (`| head`) would kill the program between a rename
    // and the log line that records it.
    signal(SIGPIPE, SIG_IGN);
}

#endif

}  // namespace host
