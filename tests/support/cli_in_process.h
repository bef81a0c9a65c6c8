// levelpanel-cli run in this process (no serial ports): its status, stdout and stderr.
// For tests of a command's wiring; a test linking it links lp_cli.
#pragma once

#include <QTextStream>

#include "cli/cli.h"
#include "program_run.h"

namespace lp::test {

inline ProgramRun runCliHere(const QStringList& arguments) {
    ProgramRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = cli::run(arguments, out, err, {});
    out.flush();
    err.flush();
    return run;
}

}  // namespace lp::test
