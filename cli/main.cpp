// bms-folder-renamer-cli: renames chart folders from the command line.
#include <iostream>
#include <vector>

#include "cli/cli.h"
#include "host/terminal.h"

namespace {

int Main(std::vector<cli::Argument> arguments) {
    host::UseByteStdio();
    std::ios::sync_with_stdio(false);
    // When the lines themselves go to the terminal they show the progress; a rewritten line
    // between them would only garble them.
    const cli::Streams streams{std::cin, std::cout, std::cerr,
                               host::StderrIsTerminal() && !host::StdoutIsTerminal()};
    return cli::Run(arguments, streams);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    return Main({argv + 1, argv + argc});
}
#else
int main(int argc, char** argv) {
    return Main({argv + 1, argv + argc});
}
#endif
