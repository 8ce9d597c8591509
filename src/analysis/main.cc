#include <iostream>

#include "analysis/driver.h"

int main() {
  return sessionstats::runSessionStats(std::cin, std::cout, std::cerr);
}
