#pragma once

namespace plotwell {

/// `plotwell import STAFF -o CHART.csv [--name-column C] [--title-column C]
/// [--manager-column C]`: a staff list becomes a chart document, each person's row under their
/// manager's. The problems of the list go to standard error. Returns 0 when the chart was
/// written, 1 when it was not (an unreadable list, more people than the grid's rows), 2 for a
/// wrong command line. `argv[0]` is "import".
int runImportCommand(int argc, char **argv);

} // namespace plotwell
