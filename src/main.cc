#include <iostream>
#include <string>

#include "app/driver.h"
#include "os/console.h"

int main(int argc, char* argv[]) {
  sessionstats::Console console;
  sessionstats::Written written;
  const int status = sessionstats::runCommandLine(
      argc, argv, std::cin, std::cout, std::cerr, &written);
  return console.finish(status, sessionstats::closingLine(written),
                        written.page);
}
