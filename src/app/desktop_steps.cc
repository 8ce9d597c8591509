#include "app/desktop_steps.h"

#include <filesystem>
#include <functional>
#include <system_error>

#include "live/live_report.h"
#include "log/log_file_reader.h"
#include "os/desktop_opener.h"
#include "report/report_file.h"

namespace sessionstats {

Status writePageBeside(const std::string& log, const std::string& player,
                       const std::string& page) {
  ReportRequest request;
  request.player = player;
  request.format = ReportFormat::kHtml;
  request.pageReader = PageReader::kDoubleClick;
  LiveReport live(request,
                  [&page](const std::function<void(std::ostream&)>& write) {
                    return replaceReportFile(page, write);
                  });
  if (Status status = readSessionLog(log, live.reader()); !status.ok()) {
    return Status::failed(status.what(), status.error());
  }
  return live.write();
}

void openFile(const std::string& file, std::ostream& err) {
  // A handler may start in another folder (a browser already running).
  std::error_code failed;
  const std::filesystem::path absolute =
      std::filesystem::absolute(file, failed);
  if (const Status opened = openWithDesktop(failed ? file : absolute.string());
      !opened.ok()) {
    writeErrorLine(err, opened.within("could not open " + file));
  }
}

}  // namespace sessionstats
