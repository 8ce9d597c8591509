#include <iostream>

#include "app/driver.h"

int main() {
  return sessionstats::runSessionStats(std::cin, std::cout, std::cerr);
}
