#include <iostream>
#include <string>

#include "app/driver.h"
#include "os/console.h"

int main(int argc, char* argv[]) {
  sessionstats::Console console;
  std::string summary;
  const int status = sessionstats::runCommandLine(
      argc, argv, std::cin, std::cout, std::cerr, &summary);
  return console.finish(status, summary);
}
