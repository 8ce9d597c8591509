#include <iostream>

#include "app/driver.h"

int main(int argc, char* argv[]) {
  return sessionstats::runCommandLine(argc, argv, std::cin, std::cout,
                                      std::cerr);
}
