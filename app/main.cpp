#include "app/driver.h"

int main() { return run_calculation(); }
