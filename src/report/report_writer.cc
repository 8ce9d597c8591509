#include "report/report_writer.h"

namespace sessionstats {

// The report's sections land with the report writer's own change.
void writeReport(std::ostream& /*out*/, const PlayerStats& /*player*/) {}

}  // namespace sessionstats
